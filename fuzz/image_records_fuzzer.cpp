// The record layer alone: the trailer and every record from the first byte on.
// A record handed out must be exactly the bytes that follow its header.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "image/image_records.h"
#include "image/little_endian.h"
#include "tests/support/memory_file.h"

namespace {

void CheckTrailer(CMemoryFile& file, const std::uint8_t* data, std::size_t size)
{
    const ImageTrailer trailer = ReadTrailer(file);
    if (size < kTrailerSize) {
        if (trailer.TotalSize != 0 || trailer.VersionMajor != 0 || trailer.VersionMinor != 0 || trailer.Magic != 0)
            std::abort();
        return;
    }
    const std::uint8_t* last = data + size - kTrailerSize;
    if (trailer.TotalSize != GetU32(last) || trailer.VersionMajor != GetU16(last + 4) ||
        trailer.VersionMinor != GetU16(last + 6) || trailer.Magic != GetU32(last + 8))
        std::abort();
}

void CheckRecords(CMemoryFile& file, const std::uint8_t* data, std::size_t size)
{
    file.Seek(0, platform::SeekOrigin::Begin);
    std::uint64_t at = 0;
    std::uint16_t type = 0;
    std::uint32_t length = 0;
    ByteBuffer content;
    for (;;) {
        const std::uint32_t consumed = ReadRecord(file, type, length, content);
        if (consumed == 0) {
            if (content)
                std::abort();  // a record that was not read whole hands out nothing
            return;
        }
        if (consumed != length + 6 || !content || at + consumed > size || type == RecordEnd ||
            type != GetU16(data + at) || length != GetU32(data + at + 2) ||
            (length != 0 && std::memcmp(content.get(), data + at + 6, length) != 0))
            std::abort();
        at += consumed;
        if (file.Seek(0, platform::SeekOrigin::Current) != at)
            std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CMemoryFile file(std::vector<std::uint8_t>(data, data + size));
    CheckTrailer(file, data, size);
    CheckRecords(file, data, size);
    return 0;
}
