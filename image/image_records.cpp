#include "image/image_records.h"

#include <cstdint>

#include "formats/little_endian.h"

namespace {

// Bytes between the current position and the end of the file.
std::uint64_t BytesLeft(CImageFile& file)
{
    const std::uint64_t position = file.Seek(0, platform::SeekOrigin::Current);
    const std::uint64_t length = file.GetLength();
    return position < length ? length - position : 0;
}

}  // namespace

std::uint32_t WriteRecord(CImageFile& file, std::uint16_t type, std::uint32_t length, const void* content)
{
    std::uint8_t header[kRecordHeaderSize];
    PutU16(header, type);
    PutU32(header + 2, length);
    file.Write(header, sizeof header);
    if (length != 0)
        file.Write(content, length);
    return length + kRecordHeaderSize;
}

std::uint32_t WriteEndRecord(CImageFile& file, const ImageTrailer& trailer)
{
    std::uint8_t bytes[kEndRecordSize];
    PutU16(bytes, RecordEnd);
    PutU32(bytes + 2, trailer.TotalSize);
    PutU16(bytes + 6, trailer.VersionMajor);
    PutU16(bytes + 8, trailer.VersionMinor);
    PutU32(bytes + 10, trailer.Magic);
    file.Write(bytes, sizeof bytes);
    return kEndRecordSize;
}

bool ReadRecordHeader(CImageFile& file, std::uint16_t& type, std::uint32_t& length)
{
    length = 0;
    std::uint8_t typeBytes[2];
    const bool typeWhole = file.Read(typeBytes, sizeof typeBytes) == sizeof typeBytes;
    type = typeWhole ? GetU16(typeBytes) : 0;
    if (!typeWhole || type == RecordEnd)
        return false;

    std::uint8_t lengthBytes[4];
    if (file.Read(lengthBytes, sizeof lengthBytes) != sizeof lengthBytes)
        return false;
    length = GetU32(lengthBytes);
    // A length whose record size would not fit 32 bits cannot be told from the end.
    return length <= BytesLeft(file) && length <= UINT32_MAX - kRecordHeaderSize;
}

ImageTrailer ReadTrailer(CImageFile& file)
{
    std::uint8_t bytes[kTrailerSize] = {};
    if (file.GetLength() >= kTrailerSize) {
        file.Seek(-static_cast<std::int64_t>(kTrailerSize), platform::SeekOrigin::End);
        file.Read(bytes, sizeof bytes);
    }
    return {GetU32(bytes), GetU16(bytes + 4), GetU16(bytes + 6), GetU32(bytes + 8)};
}

VersionAge AgeOf(const ImageTrailer& trailer)
{
    const unsigned major = trailer.VersionMajor;
    const unsigned minor = trailer.VersionMinor;
    if (major > kImageVersionMajor || (major == kImageVersionMajor && minor > kImageVersionMinor))
        return VersionAge::Newer;
    if (major < kImageVersionMajor || minor < kImageVersionMinor)
        return VersionAge::Older;
    return VersionAge::Current;
}
