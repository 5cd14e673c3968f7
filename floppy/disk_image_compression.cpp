// CDiskImage::CompressData: the image format's zlib conversions, with the
// line a user sees for each.
#include "floppy/disk_image.h"

#include "image/image_compression.h"

namespace {

std::string SizeReport(std::uint32_t in, std::uint64_t out)
{
    // An empty input has no ratio; it is shown as unchanged.
    const double change = in == 0 ? 0.0 : static_cast<double>(out) / static_cast<double>(in) * 100.0 - 100.0;
    return FormatText("ok (%ikb, %ikb, %+.2f%%)", static_cast<int>(in / 1000), static_cast<int>(out / 1000),
                      change);
}

}  // namespace

bool CDiskImage::CompressData(bool compress)
{
    if (compress == m_bCompressed)
        return false;
    Print(compress ? "Compressing data..." : "Expanding data...", false);
    if (compress) {
        CompressedData packed = CompressDiskData(m_pData.get(), m_nSize);
        // A buffer that cannot be had is a refusal like any of zlib's.
        if (!packed.data) {
            Print("skipped", true);
            return false;
        }
        Print(SizeReport(m_nSize, packed.size), true);
        AdoptData(std::move(packed.data), packed.size, true);
        return true;
    }
    std::uint32_t rawSize = 0;
    Expansion expanded;
    if (RawDiskSize(m_geometry, rawSize))
        expanded = ExpandDiskData(m_pData.get(), m_nSize, rawSize, true);
    // Data that ends within 10 % of the disk's size is shown with its sizes,
    // even when its length is wrong; anything else was refused.
    if (!expanded.endedWithinBound) {
        Print("skipped", true);
        return false;
    }
    Print(SizeReport(m_nSize, expanded.expandedSize), true);
    if (expanded.outcome != ExpansionOutcome::Expanded)
        return false;
    AdoptData(std::move(expanded.data), rawSize, false);
    return true;
}
