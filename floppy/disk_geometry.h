#pragma once

#include <cstdint>
#include <cstring>

// Layout and media type of a disk; stored in image files in this field order.
// Always compared and copied as a whole.
struct DiskGeometry {
    std::uint32_t BytesPerSector = 0;
    std::uint32_t SectorsPerTrack = 0;
    std::uint32_t TracksPerCylinder = 0;  // the number of heads
    std::uint32_t Cylinders = 0;
    std::uint32_t MediaType = 0;
};
static_assert(sizeof(DiskGeometry) == 20, "the geometry record is five packed u32 fields");

inline bool operator==(const DiskGeometry& a, const DiskGeometry& b)
{
    return std::memcmp(&a, &b, sizeof(DiskGeometry)) == 0;
}

// Cylinders x heads x sectors x bytes; false when the product does not fit
// 32 bits (such a geometry lies outside what an image can hold).
bool RawDiskSize(const DiskGeometry& geometry, std::uint32_t& size);
