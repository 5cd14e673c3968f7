#include "platform/posix/floppy_layouts.h"

#include <array>

namespace platform {

namespace {

struct Layout {
    std::uint32_t cylinders, heads, sectors, bytes;
    std::uint32_t mediaType;       // in a 3.5" drive (USB drives are 3.5")
    std::uint32_t mediaType525;    // in a 5.25" drive
};

constexpr std::array<Layout, 9> kLayouts{{
    {40, 1, 8, 512, 10, 10},
    {40, 1, 9, 512, 9, 9},
    {40, 2, 8, 512, 7, 7},
    {40, 2, 9, 512, 6, 6},
    {80, 2, 9, 512, 5, 16},
    {80, 2, 15, 512, 17, 1},
    {77, 2, 8, 1024, 18, 19},
    {80, 2, 18, 512, 2, 2},
    {80, 2, 36, 512, 3, 3},
}};

}  // namespace

bool GeometryForCapacity(std::uint64_t bytes, VolumeGeometry& geometry)
{
    for (const Layout& layout : kLayouts) {
        if (std::uint64_t{layout.cylinders} * layout.heads * layout.sectors * layout.bytes == bytes) {
            geometry = {layout.bytes, layout.sectors, layout.heads, layout.cylinders, layout.mediaType};
            return true;
        }
    }
    return false;
}

std::uint32_t MediaTypeForLayout(const VolumeGeometry& g, bool fiveAndAQuarterInchDrive)
{
    for (const Layout& layout : kLayouts) {
        if (layout.cylinders == g.cylinders && layout.heads == g.tracksPerCylinder &&
            layout.sectors == g.sectorsPerTrack && layout.bytes == g.bytesPerSector)
            return fiveAndAQuarterInchDrive ? layout.mediaType525 : layout.mediaType;
    }
    return 0;
}

}  // namespace platform
