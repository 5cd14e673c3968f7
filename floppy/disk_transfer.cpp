// The disk reader and writer: the whole disk between the drive and memory.

#include <cstring>

#include "floppy/disk_device.h"
#include "floppy/disk_image.h"
#include "floppy/sector_retry.h"
#include "floppy/transfer_progress.h"

namespace {

// Moves one sector with its retry and reports the outcome on the console; a
// skipped sector is listed and, when read, holds zeros.
SectorResult MoveAndReport(CDiskImage& image, CDiskDevice& device, const DiskGeometry& geometry, bool write,
                           std::uint64_t cylinder, std::uint64_t head, std::uint64_t sector, std::uint32_t linearIndex)
{
    std::uint8_t* place = image.SectorAddress(static_cast<std::uint32_t>(cylinder), static_cast<std::uint32_t>(head),
                                              static_cast<std::uint32_t>(sector));
    const auto c = static_cast<std::uint16_t>(cylinder);
    const auto s = static_cast<std::uint16_t>(sector);
    const auto h = static_cast<std::uint16_t>(head);
    const SectorResult result = TransferWithRetry(device, geometry, place, write, c, s, h);
    if (result == SectorResult::Fixed) {
        image.Print(FormatText("Fixed cyl %i, sect %i, head %i.", c, s, h), false);
    } else if (result != SectorResult::Transferred) {
        image.PrintError(image.GetLastErrorText());
        image.Print(FormatText("Skipping cyl %i, sect %i, head %i.", c, s, h), false);
        image.m_skippedSectors.push_back(linearIndex);
        // A sector we could not read holds zeros, never what a failed
        // transfer may have left behind.
        if (!write)
            std::memset(place, 0, geometry.BytesPerSector);
    }
    return result;
}

}  // namespace

// Opens both the disk reader and the disk writer: learns what is in the drive.
bool CDiskImage::QueryMedia(CDiskDevice& device, DiskGeometry& inserted)
{
    m_bCancel = false;
    Print("Querying media information...", false);
    if (!device.GetGeometry(inserted)) {
        Print("failed", true);
        PrintError(GetLastErrorText());
        return false;
    }
    Print("ok", true);
    Print("Inserted media: " + device.DescribeMediaType(inserted.MediaType), false);
    return true;
}

// The writer's rule: the inserted media must match the image in every field.
bool CDiskImage::CheckCompatibleMedia(CDiskDevice& device, const DiskGeometry& inserted)
{
    if (inserted == m_geometry)
        return true;
    Print("Required media is: " + device.DescribeMediaType(m_geometry.MediaType), false);
    PrintError("Inserted media is not compatible.");
    return false;
}

bool CDiskImage::TransferAllSectors(CDiskDevice& device, const DiskGeometry& geometry, Direction direction)
{
    m_skippedSectors.clear();
    std::uint32_t rawSize = 0;
    if (!RawDiskSize(geometry, rawSize) || rawSize == 0)
        return false;  // no sector to visit

    const bool write = direction == Direction::Write;
    ProgressScope progress(*this,
                           std::uint64_t{geometry.Cylinders} * geometry.TracksPerCylinder * geometry.SectorsPerTrack);
    std::uint64_t transferred = 0;
    std::uint32_t linearIndex = 0;
    for (std::uint64_t cylinder = 1; cylinder <= geometry.Cylinders; ++cylinder) {
        for (std::uint64_t head = 1; head <= geometry.TracksPerCylinder; ++head) {
            for (std::uint64_t sector = 1; sector <= geometry.SectorsPerTrack; ++sector, ++linearIndex) {
                progress.Show(linearIndex, cylinder, head, m_skippedSectors.size());
                const SectorResult result =
                    MoveAndReport(*this, device, geometry, write, cylinder, head, sector, linearIndex);
                if (result == SectorResult::MediumFailed)
                    return false;
                if (result != SectorResult::Skipped)
                    ++transferred;
                if (CheckCancel())
                    return false;
            }
            if (CheckCancel())
                return false;
        }
        if (CheckCancel())
            return false;
    }
    // A transfer in which not one sector moved has produced nothing usable.
    return transferred > 0;
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
    const bool read = TransferAllSectors(device, inserted, Direction::Read);
    m_unreadableSectors = m_skippedSectors;
    return read;
}

bool CDiskImage::WriteToDevice(CDiskDevice& device)
{
    m_skippedSectors.clear();
    if (!HoldsWholeRawDisk())
        return false;
    DiskGeometry inserted;
    if (!QueryMedia(device, inserted))
        return false;
    if (!CheckCompatibleMedia(device, inserted))
        return false;
    Print("Writing data...", false);
    return TransferAllSectors(device, inserted, Direction::Write);
}
