#pragma once
// The standard floppy formats: a fact about floppy disks, not about any drive
// or system, so that the Linux binding and the image tool read the same table.

#include <cstdint>
#include <span>

#include "formats/disk_geometry.h"

struct StandardFloppy {
    DiskGeometry geometry;       // with its media type code in a 3.5" drive (USB drives are all 3.5")
    std::uint32_t mediaType525;  // its code in a 5.25" drive
    bool knownBySize = true;     // a medium of its size alone is taken for it
};

// The raw size of the largest standard format (3.5", 2.88 MB).
constexpr std::uint32_t kLargestStandardFloppy = 80 * 2 * 36 * 512;

// Every standard format, smallest capacity first.
std::span<const StandardFloppy> StandardFloppies();

// The format of a medium known only by its size; null for a size that is no
// standard floppy capacity (the 82- and 83-cylinder formats are none).
const StandardFloppy* StandardFloppyOfCapacity(std::uint64_t bytes);

// The standard format of a layout (its media type field is not looked at);
// null for a layout that is no standard format.
const StandardFloppy* StandardFloppyOfLayout(const DiskGeometry& layout);

// The media type code of a layout (its media type field is not looked at),
// which depends on the drive's form factor; 0 (unknown) for a layout that is
// no standard format.
std::uint32_t MediaTypeForLayout(const DiskGeometry& layout, bool fiveAndAQuarterInchDrive);
