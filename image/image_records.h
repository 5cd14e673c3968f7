#pragma once
// The record layer of image files: little-endian typed records, closed by an
// end record that carries the 12-byte trailer (always the file's last bytes).

#include <cstdint>

#include "image/image_file.h"

enum ImageRecordType : std::uint16_t {
    RecordEnd = 1,
    RecordGeometry = 10,
    RecordCompressedData = 11,
    RecordRawData = 12,
    RecordReservedFlag = 30,
    // 0-based linear indexes (u32 each, ascending) of sectors that could not
    // be read when the image was made; those sectors hold zeros.
    RecordUnreadableSectors = 40,
};

struct ImageTrailer {
    std::uint32_t TotalSize = 0;
    std::uint16_t VersionMajor = 0;
    std::uint16_t VersionMinor = 0;
    std::uint32_t Magic = 0;
};

constexpr std::uint32_t kImageMagic = 0x3D5B2A34;
constexpr std::uint16_t kImageVersionMajor = 2;
constexpr std::uint16_t kImageVersionMinor = 1;
constexpr std::uint32_t kTrailerSize = 12;
constexpr std::uint32_t kEndRecordSize = 14;
constexpr std::uint32_t kRecordHeaderSize = 6;

// Type (2 bytes), length (4) and content; returns length + 6.
std::uint32_t WriteRecord(CImageFile& file, std::uint16_t type, std::uint32_t length, const void* content);
// Type 1 and the trailer; returns 14.
std::uint32_t WriteEndRecord(CImageFile& file, const ImageTrailer& trailer);
// Reads one record's type and length and leaves the file at its content.
// False for the end record (only its type is consumed) and for a record that
// the end of the file cuts short (the file has fewer bytes than its length).
bool ReadRecordHeader(CImageFile& file, std::uint16_t& type, std::uint32_t& length);
// The last 12 bytes of the file; all zero for a file shorter than that.
ImageTrailer ReadTrailer(CImageFile& file);

enum class VersionAge { Current, Newer, Older };
VersionAge AgeOf(const ImageTrailer& trailer);
