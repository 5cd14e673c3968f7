#pragma once
// Hand-built image files, so that the tests state the byte layout themselves
// instead of trusting the writer under test.

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "formats/disk_geometry.h"
#include "image/image_records.h"

using Bytes = std::vector<std::uint8_t>;

inline void AppendU16(Bytes& bytes, std::uint16_t value)
{
    bytes.push_back(static_cast<std::uint8_t>(value));
    bytes.push_back(static_cast<std::uint8_t>(value >> 8));
}

inline void AppendU32(Bytes& bytes, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<std::uint8_t>(value >> shift));
}

inline Bytes Join(std::initializer_list<Bytes> parts)
{
    Bytes joined;
    for (const Bytes& part : parts)
        joined.insert(joined.end(), part.begin(), part.end());
    return joined;
}

inline Bytes Record(std::uint16_t type, const Bytes& content)
{
    Bytes record;
    AppendU16(record, type);
    AppendU32(record, static_cast<std::uint32_t>(content.size()));
    record.insert(record.end(), content.begin(), content.end());
    return record;
}

inline Bytes EndRecord(std::uint32_t totalSize, std::uint16_t major = 2, std::uint16_t minor = 1,
                       std::uint32_t magic = 0x3D5B2A34)
{
    Bytes record;
    AppendU16(record, 1);
    AppendU32(record, totalSize);
    AppendU16(record, major);
    AppendU16(record, minor);
    AppendU32(record, magic);
    return record;
}

inline Bytes GeometryContent(const DiskGeometry& g)
{
    Bytes content;
    for (std::uint32_t field : {g.BytesPerSector, g.SectorsPerTrack, g.TracksPerCylinder, g.Cylinders, g.MediaType})
        AppendU32(content, field);
    return content;
}

// The records closed by a version-2.1 end record whose TotalSize covers them.
inline Bytes ImageOf(std::initializer_list<Bytes> records)
{
    Bytes image = Join(records);
    const Bytes end = EndRecord(static_cast<std::uint32_t>(image.size() + 14));
    image.insert(image.end(), end.begin(), end.end());
    return image;
}

// Deterministic bytes that zlib can hardly shrink.
inline Bytes NoiseBytes(std::size_t count)
{
    Bytes bytes;
    std::uint32_t state = 12345;
    for (std::size_t i = 0; i < count; ++i) {
        state = state * 1103515245u + 12345u;
        bytes.push_back(static_cast<std::uint8_t>(state >> 16));
    }
    return bytes;
}

constexpr DiskGeometry kFloppy144{512, 18, 2, 80, 2};
constexpr DiskGeometry kTwoSectors{512, 1, 1, 2, 2};  // 1,024 bytes raw
