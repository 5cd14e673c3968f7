#include <cstring>
#include <string>
#include <vector>

#include "floppy/count_of_sectors.h"
#include "floppy/disk_device.h"
#include "floppy/disk_image.h"
#include "floppy/identity_sample.h"
#include "floppy/sector_walk.h"

namespace {

enum class Identity { Same, Different, Failed };

// Reads the sample back and compares it with the image. A sample sector that
// does not read proves nothing either way; a disk of which not one sample
// could be compared is not taken for the image's.
Identity CheckIdentity(CDiskImage& image, CDiskDevice& device, std::uint8_t* scratch)
{
    const DiskGeometry& geometry = image.m_geometry;
    const std::vector<std::uint32_t> sample = IdentitySample(geometry, image.m_pData.get(), image.m_unreadableSectors);
    bool differs = false;
    const auto compare = [&](const SectorPlace& place, std::uint32_t) {
        const SectorResult result = TransferWithRetry(device, geometry, scratch, TransferDirection::Read, place);
        if (result == SectorResult::MediumFailed)
            image.PrintError(LastErrorText());
        if (result == SectorResult::MediumFailed || result == SectorResult::Skipped)
            return result == SectorResult::Skipped ? SectorOutcome::Bad : SectorOutcome::Stop;
        // The first difference settles it.
        differs = std::memcmp(scratch, image.SectorAddress(place), geometry.BytesPerSector) != 0;
        return differs ? SectorOutcome::Stop : SectorOutcome::Good;
    };
    const WalkEnd end = WalkSectors(image, geometry, &sample, nullptr, nullptr, compare);
    if (differs || (end.reason == WalkEnd::Reason::Completed && end.visited == end.bad))
        return Identity::Different;
    return end.reason == WalkEnd::Reason::Completed ? Identity::Same : Identity::Failed;
}

// Re-reads every listed sector; only data that was read takes its place, so
// nothing the image holds is ever traded for something worse.
bool RescueListedSectors(CDiskImage& image, CDiskDevice& device, std::uint8_t* scratch)
{
    const DiskGeometry& geometry = image.m_geometry;
    const std::vector<std::uint32_t>& listed = image.m_unreadableSectors;
    std::vector<std::uint32_t> stillUnreadable;
    const auto rescue = [&](const SectorPlace& place, std::uint32_t index) {
        const SectorResult result = TransferWithRetry(device, geometry, scratch, TransferDirection::Read, place);
        if (result == SectorResult::Fixed)
            image.m_fixedSectors.push_back(index);
        if (result == SectorResult::Transferred || result == SectorResult::Fixed) {
            std::memcpy(image.SectorAddress(place), scratch, geometry.BytesPerSector);
            ReportSector(image, "Rescued", place);
            return SectorOutcome::Good;
        }
        ReportFailedSector(image, "Skipping", place);
        stillUnreadable.push_back(index);
        return result == SectorResult::MediumFailed ? SectorOutcome::Stop : SectorOutcome::Bad;
    };
    ProgressScope progress(image, listed.size());
    const WalkEnd end = WalkSectors(image, geometry, &listed, nullptr, &progress, rescue);
    if (end.reason == WalkEnd::Reason::Cancelled)
        return false;
    // Without a medium the rest cannot read either; what was rescued is kept.
    stillUnreadable.insert(stillUnreadable.end(), listed.begin() + static_cast<std::ptrdiff_t>(end.visited),
                           listed.end());
    image.m_unreadableSectors = stillUnreadable;
    image.m_skippedSectors = std::move(stillUnreadable);
    return true;
}

}  // namespace

bool CDiskImage::RescueFromDevice(CDiskDevice& device)
{
    m_skippedSectors.clear();
    m_fixedSectors.clear();
    if (!HoldsWholeRawDisk() || m_unreadableSectors.empty())
        return false;
    DiskGeometry inserted;
    if (!QueryMedia(device, inserted) || !CheckCompatibleMedia(inserted))
        return false;
    ByteBuffer scratch = AllocateBytes(m_geometry.BytesPerSector);
    if (!scratch) {
        Print("Buffer allocation failed.", false);
        return false;
    }
    switch (CheckIdentity(*this, device, scratch.get())) {
    case Identity::Same: break;
    case Identity::Different: PrintError("The inserted disk is not the disk of this image."); return false;
    case Identity::Failed: return false;
    }
    Print("Rescuing " + CountOfSectors(m_unreadableSectors.size()) + "...", false);
    return RescueListedSectors(*this, device, scratch.get());
}
