#include <cstring>
#include <string>

#include "floppy/disk_device.h"
#include "floppy/disk_image.h"
#include "floppy/count_of_sectors.h"
#include "floppy/sector_walk.h"

namespace {

struct VerifyCounts {
    std::uint64_t verified = 0;
    std::uint64_t differ = 0;
    std::uint64_t unreadable = 0;
};

// Reads one sector back, compares it with its place in the image and reports
// a difference or a failure on the console.
SectorOutcome CheckSector(CDiskImage& image, CDiskDevice& device, std::uint8_t* readBack, const SectorPlace& place,
                          VerifyCounts& counts)
{
    const SectorResult result = TransferWithRetry(device, image.m_geometry, readBack, TransferDirection::Read, place);
    if (result == SectorResult::Skipped || result == SectorResult::MediumFailed) {
        ReportFailedSector(image, "Unreadable", place);
        if (result == SectorResult::MediumFailed)
            return SectorOutcome::Stop;
        ++counts.unreadable;
        return SectorOutcome::Bad;
    }
    if (std::memcmp(readBack, image.SectorAddress(place), image.m_geometry.BytesPerSector) == 0)
        return SectorOutcome::Good;
    ReportSector(image, "Differs", place);
    ++counts.differ;
    return SectorOutcome::Bad;
}

void PrintSummary(const CDiskImage& image, const VerifyCounts& counts)
{
    // Sectors the writer skipped are not on the disk: a disk without them
    // is never called equal to the image.
    const std::size_t unwritten = image.m_skippedSectors.size();
    const std::string verified = std::to_string(counts.verified);
    if (counts.differ == 0 && counts.unreadable == 0 && unwritten == 0)
        image.Print("Verified: all " + verified + " sectors equal the image.", false);
    else if (counts.differ == 0 && counts.unreadable == 0)
        image.Print("Verified: all " + verified + " written sectors equal the image; " + CountOfSectors(unwritten) +
                        " could not be written.",
                    false);
    else
        image.Print("Verified: " + std::to_string(counts.differ) + " of " + verified + " sectors differ, " +
                        std::to_string(counts.unreadable) + " unreadable.",
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
        PrintError(LastErrorText());
        return false;
    }

    const std::uint64_t total = SectorCount(m_geometry);
    VerifyCounts counts;
    counts.verified = total - m_skippedSectors.size();
    ProgressScope progress(*this, total, "bad");
    const auto check = [&](const SectorPlace& place, std::uint32_t) {
        return CheckSector(*this, device, readBack.get(), place, counts);
    };
    // What the writer skipped was reported then; it is not read again.
    const WalkEnd end = WalkSectors(*this, m_geometry, nullptr, &m_skippedSectors, &progress, check);
    if (end.reason == WalkEnd::Reason::Cancelled)
        return false;
    // Nothing more can be read: the failed sector and all after it are unreadable.
    if (end.reason == WalkEnd::Reason::Stopped)
        counts.unreadable += counts.verified - (end.visited - 1);
    PrintSummary(*this, counts);
    return end.reason == WalkEnd::Reason::Completed && counts.differ == 0 && counts.unreadable == 0;
}
