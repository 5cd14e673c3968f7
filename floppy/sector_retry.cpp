#include "floppy/sector_retry.h"

#include "floppy/disk_device.h"
#include "platform/last_error.h"

namespace {

bool TransferOnce(CDiskDevice& device, const DiskGeometry& geometry, std::uint8_t* place, bool write,
                  std::uint16_t cylinder, std::uint16_t sector, std::uint16_t head)
{
    return write ? device.WriteSector(geometry, place, cylinder, sector, head)
                 : device.ReadSector(geometry, place, cylinder, sector, head);
}

}  // namespace

// Two attempts with no pause between them. A failure that concerns the whole
// medium (write protection, no disk, drive gone) is not retried: every other
// sector would fail the same way.
SectorResult TransferWithRetry(CDiskDevice& device, const DiskGeometry& geometry, std::uint8_t* place, bool write,
                               std::uint16_t cylinder, std::uint16_t sector, std::uint16_t head)
{
    if (TransferOnce(device, geometry, place, write, cylinder, sector, head))
        return SectorResult::Transferred;
    if (platform::IsWholeMediumError(platform::GetLastErrorCode()))
        return SectorResult::MediumFailed;
    if (TransferOnce(device, geometry, place, write, cylinder, sector, head))
        return SectorResult::Fixed;
    return platform::IsWholeMediumError(platform::GetLastErrorCode()) ? SectorResult::MediumFailed
                                                                        : SectorResult::Skipped;
}
