#include "floppy/sector_retry.h"

#include "floppy/disk_device.h"
#include "platform/last_error.h"

namespace {

bool TransferOnce(CDiskDevice& device, const DiskGeometry& geometry, std::uint8_t* bytes, TransferDirection direction,
                  const SectorPlace& place)
{
    const auto cylinder = static_cast<std::uint16_t>(place.cylinder);
    const auto sector = static_cast<std::uint16_t>(place.sector);
    const auto head = static_cast<std::uint16_t>(place.head);
    return direction == TransferDirection::Write ? device.WriteSector(geometry, bytes, cylinder, sector, head)
                                                 : device.ReadSector(geometry, bytes, cylinder, sector, head);
}

}  // namespace

// Two attempts with no pause between them. A failure that concerns the whole
// medium (write protection, no disk, drive gone) is not retried: every other
// sector would fail the same way.
SectorResult TransferWithRetry(CDiskDevice& device, const DiskGeometry& geometry, std::uint8_t* bytes,
                               TransferDirection direction, const SectorPlace& place)
{
    if (TransferOnce(device, geometry, bytes, direction, place))
        return SectorResult::Transferred;
    if (platform::IsWholeMediumError(platform::GetLastErrorCode()))
        return SectorResult::MediumFailed;
    if (TransferOnce(device, geometry, bytes, direction, place))
        return SectorResult::Fixed;
    return platform::IsWholeMediumError(platform::GetLastErrorCode()) ? SectorResult::MediumFailed
                                                                        : SectorResult::Skipped;
}
