#pragma once
// The standard floppy layouts and their media type codes.

#include <cstdint>

#include "platform/raw_volume.h"

namespace platform {

// The geometry of a medium known only by its size (a USB drive, a plain
// file); false for a size that is no standard floppy capacity.
bool GeometryForCapacity(std::uint64_t bytes, VolumeGeometry& geometry);

// The media type code of a layout that the floppy driver reports, which
// depends on the drive's form factor; 0 (unknown) for any other layout.
std::uint32_t MediaTypeForLayout(const VolumeGeometry& layout, bool fiveAndAQuarterInchDrive);

}  // namespace platform
