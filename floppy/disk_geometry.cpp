#include "floppy/disk_geometry.h"

bool RawDiskSize(const DiskGeometry& geometry, std::uint32_t& size)
{
    const std::uint64_t product = std::uint64_t{geometry.Cylinders} * geometry.TracksPerCylinder *
                                  geometry.SectorsPerTrack * geometry.BytesPerSector;
    // Each factor is below 2^32, but four of them can overflow 64 bits too.
    const bool overflowed64 =
        geometry.Cylinders != 0 && geometry.TracksPerCylinder != 0 && geometry.SectorsPerTrack != 0 &&
        geometry.BytesPerSector != 0 &&
        product / geometry.BytesPerSector / geometry.SectorsPerTrack / geometry.TracksPerCylinder !=
            geometry.Cylinders;
    if (overflowed64 || product > UINT32_MAX)
        return false;
    size = static_cast<std::uint32_t>(product);
    return true;
}
