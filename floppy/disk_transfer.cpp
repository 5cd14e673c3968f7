// The media query that opens the disk reader and writer, and the reader and
// writer themselves: the whole disk between the drive and memory.

#include <cstring>

#include "floppy/disk_device.h"
#include "floppy/disk_image.h"
#include "floppy/sector_walk.h"
#include "formats/media_types.h"

// Opens both the disk reader and the disk writer: learns what is in the drive.
bool CDiskImage::QueryMedia(CDiskDevice& device, DiskGeometry& inserted)
{
    m_bCancel = false;
    Print("Querying media information...", false);
    if (!device.GetGeometry(inserted)) {
        Print("failed", true);
        PrintError(LastErrorText());
        return false;
    }
    Print("ok", true);
    Print("Inserted media: " + DescribeMediaType(inserted.MediaType), false);
    return true;
}

// The writer's rule: the inserted media must match the image in every field.
bool CDiskImage::CheckCompatibleMedia(const DiskGeometry& inserted)
{
    if (inserted == m_geometry)
        return true;
    Print("Required media is: " + DescribeMediaType(m_geometry.MediaType), false);
    PrintError("Inserted media is not compatible.");
    return false;
}

bool CDiskImage::TransferAllSectors(CDiskDevice& device, const DiskGeometry& geometry, TransferDirection direction)
{
    m_skippedSectors.clear();
    m_fixedSectors.clear();
    std::uint32_t rawSize = 0;
    if (!RawDiskSize(geometry, rawSize) || rawSize == 0)
        return false;  // no sector to visit

    const auto move = [&](const SectorPlace& place, std::uint32_t index) {
        std::uint8_t* bytes = SectorAddress(place);
        const SectorResult result = TransferWithRetry(device, geometry, bytes, direction, place);
        if (result == SectorResult::Fixed) {
            ReportSector(*this, "Fixed", place);
            m_fixedSectors.push_back(index);
        }
        if (result == SectorResult::Transferred || result == SectorResult::Fixed)
            return SectorOutcome::Good;
        ReportFailedSector(*this, "Skipping", place);
        m_skippedSectors.push_back(index);
        // A sector we could not read holds zeros, never what a failed
        // transfer may have left behind.
        if (direction == TransferDirection::Read)
            std::memset(bytes, 0, geometry.BytesPerSector);
        return result == SectorResult::MediumFailed ? SectorOutcome::Stop : SectorOutcome::Bad;
    };
    ProgressScope progress(*this, SectorCount(geometry));
    const WalkEnd end = WalkSectors(*this, geometry, nullptr, nullptr, &progress, move);
    // A transfer in which not one sector moved has produced nothing usable.
    return end.reason == WalkEnd::Reason::Completed && end.visited > end.bad;
}

bool CDiskImage::ReadFromDevice(CDiskDevice& device)
{
    m_unreadableSectors.clear();
    DiskGeometry inserted;
    if (!QueryMedia(device, inserted))
        return false;
    if (!Allocate(inserted)) {
        Print("Buffer allocation failed.", false);
        return false;
    }
    Print("Reading data...", false);
    const bool read = TransferAllSectors(device, inserted, TransferDirection::Read);
    m_unreadableSectors = m_skippedSectors;
    return read;
}

bool CDiskImage::WriteToDevice(CDiskDevice& device)
{
    m_skippedSectors.clear();
    if (!HoldsWholeRawDisk())
        return false;
    DiskGeometry inserted;
    if (!QueryMedia(device, inserted) || !CheckCompatibleMedia(inserted))
        return false;
    Print("Writing data...", false);
    return TransferAllSectors(device, inserted, TransferDirection::Write);
}
