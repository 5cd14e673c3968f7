#include "formats/floppy_layouts.h"

#include <array>

namespace {

// DMF (80 x 2 x 21) has the 1.44 MB disk's code, as Windows reports it, so
// that its images restore on either system.
constexpr std::array<StandardFloppy, 12> kStandardFloppies{{
    {{512, 8, 1, 40, 10}, 10},
    {{512, 9, 1, 40, 9}, 9},
    {{512, 8, 2, 40, 7}, 7},
    {{512, 9, 2, 40, 6}, 6},
    {{512, 9, 2, 80, 5}, 16},
    {{512, 15, 2, 80, 17}, 1},
    {{1024, 8, 2, 77, 18}, 19},
    {{512, 18, 2, 80, 2}, 2},
    {{512, 21, 2, 80, 2}, 0},
    {{512, 21, 2, 82, 0}, 0, false},
    {{512, 21, 2, 83, 0}, 0, false},
    {{512, 36, 2, 80, 3}, 3},
}};

}  // namespace

std::span<const StandardFloppy> StandardFloppies()
{
    return kStandardFloppies;
}

const StandardFloppy* StandardFloppyOfCapacity(std::uint64_t bytes)
{
    for (const StandardFloppy& floppy : kStandardFloppies) {
        if (floppy.knownBySize && Capacity(floppy.geometry) == bytes)
            return &floppy;
    }
    return nullptr;
}

const StandardFloppy* StandardFloppyOfLayout(const DiskGeometry& layout)
{
    for (const StandardFloppy& floppy : kStandardFloppies) {
        if (SameLayout(floppy.geometry, layout))
            return &floppy;
    }
    return nullptr;
}

std::uint32_t MediaTypeForLayout(const DiskGeometry& layout, bool fiveAndAQuarterInchDrive)
{
    const StandardFloppy* floppy = StandardFloppyOfLayout(layout);
    if (floppy == nullptr)
        return 0;
    return fiveAndAQuarterInchDrive ? floppy->mediaType525 : floppy->geometry.MediaType;
}
