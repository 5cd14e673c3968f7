#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "floppy/disk_image.h"

namespace {

// Every buffer size also has to fit m_nSize and zlib's uLong, which is only
// 32 bits on some platforms; a larger result is refused by zlib as too big.
std::uint32_t ClampedBound(std::uint64_t bound)
{
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(bound, UINT32_MAX));
}

std::string SizeReport(std::uint32_t in, std::uint32_t out)
{
    // An empty input has no ratio; it is shown as unchanged.
    const double change = in == 0 ? 0.0 : static_cast<double>(out) / static_cast<double>(in) * 100.0 - 100.0;
    return FormatText("ok (%ikb, %ikb, %+.2f%%)", static_cast<int>(in / 1000), static_cast<int>(out / 1000),
                      change);
}

// zlib must never see a null source, even for an empty one.
const Bytef* SourceBytes(const ByteBuffer& data)
{
    static const Bytef kNothing = 0;
    return data ? data.get() : &kNothing;
}

// The converted data trimmed in place to exactly `size` bytes, so that the
// image holds no slack and the whole disk is not copied once more. Null, with
// `converted` left as it was, when memory is short.
ByteBuffer TrimToSize(ByteBuffer& converted, std::uint32_t size)
{
    void* trimmed = std::realloc(converted.get(), size == 0 ? 1 : size);
    if (trimmed == nullptr)
        return nullptr;
    [[maybe_unused]] std::uint8_t* moved = converted.release();
    return ByteBuffer(static_cast<std::uint8_t*>(trimmed));
}

// Converts the whole buffer in one call; only Z_OK counts as success.
bool Convert(bool compress, const ByteBuffer& source, std::uint32_t sourceSize, ByteBuffer& target,
             uLongf& targetSize)
{
    if (!target)
        return false;
    const int result = compress ? compress2(target.get(), &targetSize, SourceBytes(source), sourceSize, 9)
                                : uncompress(target.get(), &targetSize, SourceBytes(source), sourceSize);
    return result == Z_OK;
}

// One deflate length/distance pair of at least two bits gives at most 258
// bytes, so no zlib stream expands to more than this many times its size.
constexpr std::uint64_t kMaxExpansionRatio = 1032;

// zlib's bound for compressing `size` bytes, or 110 % of the geometry's raw
// size for expanding; 0 when no expansion can be valid.
std::uint32_t ConversionBound(bool compress, std::uint32_t size, const DiskGeometry& geometry)
{
    if (compress)
        return ClampedBound(std::uint64_t{size} + size / 1000 + 12);
    std::uint32_t rawSize = 0;
    // A raw size of 0 leaves no room for any data, whatever zlib makes of it.
    if (!RawDiskSize(geometry, rawSize) || rawSize == 0)
        return 0;
    // A geometry larger than the data could ever expand to is refused before
    // any buffer is taken: a few hundred bytes of file must not ask for 4 GB.
    if (rawSize > size * kMaxExpansionRatio)
        return 0;
    return ClampedBound(std::uint64_t{rawSize} + rawSize / 10);
}

}  // namespace

bool CDiskImage::CompressData(bool compress)
{
    if (compress == m_bCompressed)
        return false;
    Print(compress ? "Compressing data..." : "Expanding data...", false);

    // A buffer that cannot be had is a refusal like any of zlib's.
    const std::uint32_t bound = ConversionBound(compress, m_nSize, m_geometry);
    ByteBuffer converted = bound != 0 ? AllocateBytes(bound) : nullptr;
    uLongf convertedSize = bound;
    ByteBuffer exact;
    if (Convert(compress, m_pData, m_nSize, converted, convertedSize))
        exact = TrimToSize(converted, static_cast<std::uint32_t>(convertedSize));
    if (!exact) {
        Print("skipped", true);
        return false;
    }

    const auto size = static_cast<std::uint32_t>(convertedSize);
    Print(SizeReport(m_nSize, size), true);
    AdoptData(std::move(exact), size, compress);
    return true;
}
