#pragma once
// The one description of a disk's layout that every layer speaks: the drive
// reports it, images store it, the transfers walk it.

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

// The same sectors in the same places, whatever media type either names.
bool SameLayout(const DiskGeometry& a, const DiskGeometry& b);

// Cylinders x heads x sectors, and that x bytes: exact for every geometry
// whose raw size RawDiskSize accepts, which is every one the program transfers.
std::uint64_t SectorCount(const DiskGeometry& geometry);
std::uint64_t Capacity(const DiskGeometry& geometry);

// Cylinders x heads x sectors x bytes; false when the product does not fit
// 32 bits (such a geometry lies outside what an image can hold).
bool RawDiskSize(const DiskGeometry& geometry, std::uint32_t& size);

// Where a sector sits, numbered from 1 as the console lines and the device name it.
struct SectorPlace {
    std::uint32_t cylinder = 0;
    std::uint32_t head = 0;
    std::uint32_t sector = 0;
};

// The place of the sector at 0-based linear index `index` (cylinder outermost,
// then head, then sector).
SectorPlace PlaceOf(const DiskGeometry& geometry, std::uint64_t index);

// Byte offset of a sector on the medium and in a disk buffer (unsigned 32-bit
// arithmetic, as the raw volume addresses it).
std::uint32_t SectorOffset(const DiskGeometry& geometry, const SectorPlace& place);
