#include "image/image_records.h"

#include <cstdint>

#include "image/little_endian.h"

namespace {

constexpr std::uint32_t kRecordHeaderSize = 6;

void SerialiseTrailer(const ImageTrailer& trailer, std::uint8_t* bytes)
{
    PutU32(bytes, trailer.TotalSize);
    PutU16(bytes + 4, trailer.VersionMajor);
    PutU16(bytes + 6, trailer.VersionMinor);
    PutU32(bytes + 8, trailer.Magic);
}

ImageTrailer ParseTrailer(const std::uint8_t* bytes)
{
    ImageTrailer trailer;
    trailer.TotalSize = GetU32(bytes);
    trailer.VersionMajor = GetU16(bytes + 4);
    trailer.VersionMinor = GetU16(bytes + 6);
    trailer.Magic = GetU32(bytes + 8);
    return trailer;
}

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
    std::uint8_t typeBytes[2];
    std::uint8_t lengthBytes[4];
    PutU16(typeBytes, type);
    PutU32(lengthBytes, length);
    file.Write(typeBytes, sizeof typeBytes);
    file.Write(lengthBytes, sizeof lengthBytes);
    if (length != 0)
        file.Write(content, length);
    return length + kRecordHeaderSize;
}

std::uint32_t WriteEndRecord(CImageFile& file, const ImageTrailer& trailer)
{
    std::uint8_t typeBytes[2];
    std::uint8_t trailerBytes[kTrailerSize];
    PutU16(typeBytes, RecordEnd);
    SerialiseTrailer(trailer, trailerBytes);
    file.Write(typeBytes, sizeof typeBytes);
    file.Write(trailerBytes, sizeof trailerBytes);
    return kEndRecordSize;
}

std::uint32_t ReadRecord(CImageFile& file, std::uint16_t& type, std::uint32_t& length, ByteBuffer& content)
{
    content.reset();
    length = 0;
    std::uint8_t typeBytes[2];
    const bool typeWhole = file.Read(typeBytes, sizeof typeBytes) == sizeof typeBytes;
    type = typeWhole ? GetU16(typeBytes) : 0;
    if (!typeWhole || type == RecordEnd)
        return 0;

    std::uint8_t lengthBytes[4];
    if (file.Read(lengthBytes, sizeof lengthBytes) != sizeof lengthBytes)
        return 0;
    length = GetU32(lengthBytes);
    // Check against the file before allocating, so that a damaged length
    // never makes us ask for more memory than the file could fill. A length
    // whose record size would not fit the result cannot be told from the end.
    if (length > BytesLeft(file) || length > UINT32_MAX - kRecordHeaderSize)
        return 0;

    ByteBuffer buffer = AllocateBytes(length);
    if (!buffer || file.Read(buffer.get(), length) != length)
        return 0;
    content = std::move(buffer);
    return length + kRecordHeaderSize;
}

ImageTrailer ReadTrailer(CImageFile& file)
{
    std::uint8_t bytes[kTrailerSize] = {};
    if (file.GetLength() >= kTrailerSize) {
        file.Seek(-static_cast<std::int64_t>(kTrailerSize), platform::SeekOrigin::End);
        file.Read(bytes, sizeof bytes);
    }
    return ParseTrailer(bytes);
}
