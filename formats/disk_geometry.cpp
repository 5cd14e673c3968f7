#include "formats/disk_geometry.h"

#include <algorithm>
#include <initializer_list>

bool SameLayout(const DiskGeometry& a, const DiskGeometry& b)
{
    return a.BytesPerSector == b.BytesPerSector && a.SectorsPerTrack == b.SectorsPerTrack &&
           a.TracksPerCylinder == b.TracksPerCylinder && a.Cylinders == b.Cylinders;
}

std::uint64_t SectorCount(const DiskGeometry& geometry)
{
    return std::uint64_t{geometry.Cylinders} * geometry.TracksPerCylinder * geometry.SectorsPerTrack;
}

std::uint64_t Capacity(const DiskGeometry& geometry)
{
    return SectorCount(geometry) * geometry.BytesPerSector;
}

bool RawDiskSize(const DiskGeometry& geometry, std::uint32_t& size)
{
    // Held at 2^32 once past 32 bits, so the product never leaves 64 bits; a
    // zero factor still makes it zero (no sector at all, however large the
    // other counts).
    constexpr std::uint64_t kTooLarge = std::uint64_t{UINT32_MAX} + 1;
    std::uint64_t product = 1;
    for (const std::uint32_t factor :
         {geometry.Cylinders, geometry.TracksPerCylinder, geometry.SectorsPerTrack, geometry.BytesPerSector})
        product = std::min(product * factor, kTooLarge);
    if (product == kTooLarge)
        return false;
    size = static_cast<std::uint32_t>(product);
    return true;
}

SectorPlace PlaceOf(const DiskGeometry& geometry, std::uint64_t index)
{
    const std::uint64_t track = index / geometry.SectorsPerTrack;
    return {static_cast<std::uint32_t>(track / geometry.TracksPerCylinder + 1),
            static_cast<std::uint32_t>(track % geometry.TracksPerCylinder + 1),
            static_cast<std::uint32_t>(index % geometry.SectorsPerTrack + 1)};
}

std::uint32_t SectorOffset(const DiskGeometry& geometry, const SectorPlace& place)
{
    return (((place.cylinder - 1) * geometry.TracksPerCylinder + (place.head - 1)) * geometry.SectorsPerTrack +
            (place.sector - 1)) *
           geometry.BytesPerSector;
}
