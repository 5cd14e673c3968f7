#include <cstring>
#include <string>
#include <vector>

#include "floppy/disk_device.h"
#include "floppy/disk_image.h"
#include "floppy/sector_retry.h"
#include "floppy/transfer_progress.h"

namespace {

struct SectorPlace {
    std::uint16_t cylinder, sector, head;  // from 1, in the device's order
};

SectorPlace PlaceOf(const DiskGeometry& geometry, std::uint32_t linearIndex)
{
    const std::uint32_t track = linearIndex / geometry.SectorsPerTrack;
    return {static_cast<std::uint16_t>(track / geometry.TracksPerCylinder + 1),
            static_cast<std::uint16_t>(linearIndex % geometry.SectorsPerTrack + 1),
            static_cast<std::uint16_t>(track % geometry.TracksPerCylinder + 1)};
}

// Good sectors that show whether the inserted disk is the one the image was
// made of: the disk's first, and every one that shares a track with a sector
// to rescue, since those are what the rescued data will sit beside.
std::vector<std::uint32_t> IdentitySample(const DiskGeometry& geometry, const std::vector<std::uint32_t>& listed)
{
    const std::uint32_t perTrack = geometry.SectorsPerTrack;
    const std::uint32_t total = geometry.Cylinders * geometry.TracksPerCylinder * perTrack;
    std::vector<bool> isListed(total, false);
    std::vector<bool> trackHasListed(total / perTrack, false);
    for (std::uint32_t index : listed) {
        isListed[index] = true;
        trackHasListed[index / perTrack] = true;
    }
    std::vector<std::uint32_t> sample;
    std::uint32_t firstGood = 0;
    while (firstGood < total && isListed[firstGood])
        ++firstGood;
    for (std::uint32_t index = 0; index < total; ++index) {
        if (!isListed[index] && (index == firstGood || trackHasListed[index / perTrack]))
            sample.push_back(index);
    }
    return sample;
}

enum class Identity { Same, Different, Failed };

// Reads the sample back and compares it with the image. A sample sector that
// does not read proves nothing either way; a disk of which not one sample
// could be compared is not taken for the image's.
Identity CheckIdentity(CDiskImage& image, CDiskDevice& device, std::uint8_t* scratch)
{
    const DiskGeometry& geometry = image.m_geometry;
    std::size_t compared = 0;
    for (std::uint32_t index : IdentitySample(geometry, image.m_unreadableSectors)) {
        const SectorPlace place = PlaceOf(geometry, index);
        const SectorResult result =
            TransferWithRetry(device, geometry, scratch, false, place.cylinder, place.sector, place.head);
        if (result == SectorResult::MediumFailed) {
            image.PrintError(image.GetLastErrorText());
            return Identity::Failed;
        }
        if (result != SectorResult::Skipped) {
            const std::uint8_t* held = image.SectorAddress(place.cylinder, place.head, place.sector);
            if (std::memcmp(scratch, held, geometry.BytesPerSector) != 0)
                return Identity::Different;
            ++compared;
        }
        if (image.CheckCancel())
            return Identity::Failed;
    }
    return compared > 0 ? Identity::Same : Identity::Different;
}

// Re-reads every listed sector; only data that was read takes its place, so
// nothing the image holds is ever traded for something worse.
bool RescueListedSectors(CDiskImage& image, CDiskDevice& device, std::uint8_t* scratch)
{
    const DiskGeometry& geometry = image.m_geometry;
    const std::vector<std::uint32_t>& listed = image.m_unreadableSectors;
    std::vector<std::uint32_t> stillUnreadable;
    ProgressScope progress(image, listed.size());
    for (std::size_t i = 0; i < listed.size(); ++i) {
        const SectorPlace place = PlaceOf(geometry, listed[i]);
        progress.Show(i, place.cylinder, place.head, stillUnreadable.size());
        const SectorResult result =
            TransferWithRetry(device, geometry, scratch, false, place.cylinder, place.sector, place.head);
        if (result == SectorResult::Transferred || result == SectorResult::Fixed) {
            std::memcpy(image.SectorAddress(place.cylinder, place.head, place.sector), scratch,
                        geometry.BytesPerSector);
            image.Print(FormatText("Rescued cyl %i, sect %i, head %i.", place.cylinder, place.sector, place.head),
                        false);
        } else {
            image.PrintError(image.GetLastErrorText());
            image.Print(FormatText("Skipping cyl %i, sect %i, head %i.", place.cylinder, place.sector, place.head),
                        false);
            stillUnreadable.push_back(listed[i]);
            // Without a medium the rest cannot read either; what was rescued is kept.
            if (result == SectorResult::MediumFailed) {
                stillUnreadable.insert(stillUnreadable.end(), listed.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                                       listed.end());
                break;
            }
        }
        if (image.CheckCancel())
            return false;
    }
    image.m_unreadableSectors = stillUnreadable;
    image.m_skippedSectors = std::move(stillUnreadable);
    return true;
}

}  // namespace

bool CDiskImage::RescueFromDevice(CDiskDevice& device)
{
    m_skippedSectors.clear();
    if (!HoldsWholeRawDisk() || m_unreadableSectors.empty())
        return false;
    DiskGeometry inserted;
    if (!QueryMedia(device, inserted) || !CheckCompatibleMedia(device, inserted))
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
    const std::size_t count = m_unreadableSectors.size();
    Print(count == 1 ? std::string("Rescuing 1 sector...") : "Rescuing " + std::to_string(count) + " sectors...",
          false);
    return RescueListedSectors(*this, device, scratch.get());
}
