// The record layer alone: the trailer and every record header from the first
// byte on. A header taken must be the bytes there, with its content whole in the file.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "image/image_records.h"
#include "formats/little_endian.h"
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
    while (ReadRecordHeader(file, type, length)) {
        if (at + kRecordHeaderSize + length > size || type == RecordEnd || type != GetU16(data + at) ||
            length != GetU32(data + at + 2) || file.Seek(0, platform::SeekOrigin::Current) != at + kRecordHeaderSize)
            std::abort();
        at += kRecordHeaderSize + length;
        file.Seek(static_cast<std::int64_t>(at), platform::SeekOrigin::Begin);
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
