#include <algorithm>
#include <cstring>
#include <vector>

#include "floppy/disk_device.h"
#include "floppy/disk_image.h"
#include "floppy/sector_retry.h"
#include "floppy/transfer_progress.h"

namespace {

struct VerifyCounts {
    std::uint64_t verified = 0;
    std::uint64_t differ = 0;
    std::uint64_t unreadable = 0;
};

enum class SectorCheck { Equal, Differs, Unreadable, MediumFailed };

// Reads one sector back, compares it with its place in the image and reports
// a difference or a failure on the console.
SectorCheck CheckSector(CDiskImage& image, CDiskDevice& device, std::uint8_t* readBack,
                        std::uint32_t cylinder, std::uint32_t head, std::uint32_t sector)
{
    const auto c = static_cast<std::uint16_t>(cylinder);
    const auto s = static_cast<std::uint16_t>(sector);
    const auto h = static_cast<std::uint16_t>(head);
    const SectorResult result = TransferWithRetry(device, image.m_geometry, readBack, false, c, s, h);
    if (result == SectorResult::Skipped || result == SectorResult::MediumFailed) {
        image.PrintError(image.GetLastErrorText());
        image.Print(FormatText("Unreadable cyl %i, sect %i, head %i.", c, s, h), false);
        return result == SectorResult::MediumFailed ? SectorCheck::MediumFailed : SectorCheck::Unreadable;
    }
    if (std::memcmp(readBack, image.SectorAddress(cylinder, head, sector), image.m_geometry.BytesPerSector) == 0)
        return SectorCheck::Equal;
    image.Print(FormatText("Differs cyl %i, sect %i, head %i.", c, s, h), false);
    return SectorCheck::Differs;
}

void PrintSummary(const CDiskImage& image, const VerifyCounts& counts)
{
    if (counts.differ == 0 && counts.unreadable == 0)
        image.Print(FormatText("Verified: all %llu sectors equal the image.",
                               static_cast<unsigned long long>(counts.verified)),
                    false);
    else
        image.Print(FormatText("Verified: %llu of %llu sectors differ, %llu unreadable.",
                               static_cast<unsigned long long>(counts.differ),
                               static_cast<unsigned long long>(counts.verified),
                               static_cast<unsigned long long>(counts.unreadable)),
                    false);
}

}  // namespace

bool CDiskImage::VerifyOnDevice(CDiskDevice& device)
{
    Print("Verifying data...", false);
    ByteBuffer readBack = AllocateBytes(m_geometry.BytesPerSector);
    if (!readBack) {
        Print("Buffer allocation failed.", false);
        return false;
    }
    if (!device.ForgetCachedSectors()) {
        PrintError(GetLastErrorText());
        return false;
    }

    const std::uint64_t total =
        std::uint64_t{m_geometry.Cylinders} * m_geometry.TracksPerCylinder * m_geometry.SectorsPerTrack;
    VerifyCounts counts;
    counts.verified = total - m_skippedSectors.size();
    ProgressScope progress(*this, total, "bad");
    std::uint64_t checked = 0;
    std::uint32_t linearIndex = 0;
    for (std::uint32_t cylinder = 1; cylinder <= m_geometry.Cylinders; ++cylinder) {
        for (std::uint32_t head = 1; head <= m_geometry.TracksPerCylinder; ++head) {
            for (std::uint32_t sector = 1; sector <= m_geometry.SectorsPerTrack; ++sector, ++linearIndex) {
                // What the writer skipped was reported then; it is not read again.
                if (std::binary_search(m_skippedSectors.begin(), m_skippedSectors.end(), linearIndex))
                    continue;
                if (CheckCancel())
                    return false;
                progress.Show(linearIndex, cylinder, head, counts.differ + counts.unreadable);
                const SectorCheck check = CheckSector(*this, device, readBack.get(), cylinder, head, sector);
                ++checked;
                counts.differ += check == SectorCheck::Differs;
                counts.unreadable += check == SectorCheck::Unreadable;
                if (check == SectorCheck::MediumFailed) {
                    // Nothing more can be read: this sector and all after it are unreadable.
                    counts.unreadable += 1 + (counts.verified - checked);
                    PrintSummary(*this, counts);
                    return false;
                }
            }
        }
    }
    PrintSummary(*this, counts);
    return counts.differ == 0 && counts.unreadable == 0;
}
