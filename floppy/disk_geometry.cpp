#include "floppy/disk_geometry.h"

#include <initializer_list>

bool RawDiskSize(const DiskGeometry& geometry, std::uint32_t& size)
{
    const std::initializer_list<std::uint32_t> factors = {geometry.Cylinders, geometry.TracksPerCylinder,
                                                          geometry.SectorsPerTrack, geometry.BytesPerSector};
    std::uint64_t product = 1;
    for (const std::uint32_t factor : factors) {
        if (factor == 0) {
            size = 0;  // no sector at all, however large the other counts
            return true;
        }
    }
    // Checked factor by factor, so the product never leaves 64 bits.
    for (const std::uint32_t factor : factors) {
        product *= factor;
        if (product > UINT32_MAX)
            return false;
    }
    size = static_cast<std::uint32_t>(product);
    return true;
}
