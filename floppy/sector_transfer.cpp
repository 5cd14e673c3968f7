#include <cstring>

#include "floppy/disk_device.h"
#include "floppy/disk_image.h"
#include "platform/last_error.h"
#include "task/console_screen.h"

namespace {

enum class SectorResult { Transferred, Fixed, Skipped, MediumFailed };

bool TransferOnce(CDiskDevice& device, const DiskGeometry& geometry, std::uint8_t* place, bool write,
                  std::uint16_t cylinder, std::uint16_t sector, std::uint16_t head)
{
    return write ? device.WriteSector(geometry, place, cylinder, sector, head)
                 : device.ReadSector(geometry, place, cylinder, sector, head);
}

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

// Live progress for as long as the transfer runs, gone on every way out.
class ProgressScope {
public:
    explicit ProgressScope(std::uint64_t totalSectors)
    {
        m_figures.total = totalSectors;
        CConsoleScreen::Instance().BeginProgress();
    }
    ~ProgressScope() { CConsoleScreen::Instance().EndProgress(); }
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;

    void Show(std::uint64_t done, std::uint64_t cylinder, std::uint64_t head, std::uint64_t skipped)
    {
        m_figures.done = done;
        m_figures.cylinder = static_cast<unsigned>(cylinder);
        m_figures.head = static_cast<unsigned>(head);
        m_figures.skipped = skipped;
        CConsoleScreen::Instance().ShowProgress(m_figures);
    }

private:
    ProgressFigures m_figures;
};

}  // namespace

bool CDiskImage::TransferAllSectors(CDiskDevice& device, const DiskGeometry& geometry, Direction direction)
{
    m_skippedSectors.clear();
    std::uint32_t rawSize = 0;
    if (!RawDiskSize(geometry, rawSize) || rawSize == 0)
        return false;  // no sector to visit

    const bool write = direction == Direction::Write;
    ProgressScope progress(std::uint64_t{geometry.Cylinders} * geometry.TracksPerCylinder * geometry.SectorsPerTrack);
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
