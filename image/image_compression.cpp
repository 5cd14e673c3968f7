#include "image/image_compression.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdlib>

namespace {

// zlib must never see a null source, even for an empty one.
const Bytef* SourceBytes(const std::uint8_t* data)
{
    static const Bytef kNothing = 0;
    return data != nullptr ? data : &kNothing;
}

// Every size also has to fit 32 bits and zlib's uLong, which is only 32 bits
// on some platforms; a larger result is refused by zlib as too big.
std::uint32_t ClampedBound(std::uint64_t bound)
{
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(bound, UINT32_MAX));
}

// One deflate length/distance pair of at least two bits gives at most 258
// bytes, so no zlib stream expands to more than this many times its size.
constexpr std::uint64_t kMaxExpansionRatio = 1032;

ExpansionOutcome OutcomeOf(int result, std::uint64_t expanded, std::uint32_t rawSize)
{
    if (expanded > rawSize)
        return ExpansionOutcome::TooLong;
    if (result == Z_STREAM_END)
        return expanded == rawSize ? ExpansionOutcome::Expanded : ExpansionOutcome::WrongLength;
    return result == Z_BUF_ERROR ? ExpansionOutcome::EndsEarly : ExpansionOutcome::Damaged;
}

}  // namespace

CompressedData CompressDiskData(const std::uint8_t* data, std::uint32_t size)
{
    CompressedData result;
    uLongf packedSize = ClampedBound(std::uint64_t{size} + size / 1000 + 12);
    ByteBuffer packed = AllocateBytes(packedSize);
    if (!packed || compress2(packed.get(), &packedSize, SourceBytes(data), size, 9) != Z_OK)
        return result;
    // Trimmed in place, so that the whole disk is not copied once more.
    void* trimmed = std::realloc(packed.get(), packedSize == 0 ? 1 : packedSize);
    if (trimmed == nullptr)
        return result;
    [[maybe_unused]] std::uint8_t* moved = packed.release();
    result.data.reset(static_cast<std::uint8_t*>(trimmed));
    result.size = static_cast<std::uint32_t>(packedSize);
    return result;
}

Expansion ExpandDiskData(const std::uint8_t* data, std::uint32_t size, std::uint32_t rawSize, bool keep)
{
    Expansion result;
    const std::uint64_t bound = ClampedBound(std::uint64_t{rawSize} + rawSize / 10);
    // A disk larger than the data could ever expand to gets no buffer: a few
    // hundred bytes of file must not ask for 4 GB.
    const bool possible = rawSize != 0 && rawSize <= size * kMaxExpansionRatio;
    ByteBuffer disk = keep && possible ? AllocateBytes(rawSize) : nullptr;
    z_stream stream{};
    if ((keep && possible && !disk) || inflateInit(&stream) != Z_OK)
        return result;
    // zlib only reads through next_in; its interface predates const.
    stream.next_in = const_cast<Bytef*>(SourceBytes(data));
    stream.avail_in = size;
    std::array<Bytef, 16384> sink{};
    std::uint64_t expanded = 0;
    int z = Z_OK;
    // Into the disk while it has room, then only counted; a stream built to
    // expand without end stops just past the bound.
    while (z == Z_OK && expanded <= bound) {
        const bool store = disk && expanded < rawSize;
        stream.next_out = store ? disk.get() + expanded : sink.data();
        stream.avail_out = store ? static_cast<uInt>(rawSize - expanded) : static_cast<uInt>(sink.size());
        const uInt room = stream.avail_out;
        z = inflate(&stream, Z_NO_FLUSH);
        expanded += room - stream.avail_out;
    }
    result.outcome = OutcomeOf(z, expanded, rawSize);
    result.expandedSize = expanded;
    result.endedWithinBound = possible && z == Z_STREAM_END && expanded <= bound;
    if (result.outcome == ExpansionOutcome::Damaged)
        result.zlibMessage = stream.msg != nullptr ? stream.msg : zError(z);
    if (result.outcome == ExpansionOutcome::Expanded)
        result.data = std::move(disk);
    inflateEnd(&stream);
    return result;
}
