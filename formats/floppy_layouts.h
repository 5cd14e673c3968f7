#pragma once
// The standard floppy formats: a fact about floppy disks, not about any drive
// or system, so that the Linux binding and the image tool read the same table.
// The bottom layer: it depends on nothing, and every layer may use it.

#include <cstdint>
#include <span>

struct FloppyLayout {
    std::uint32_t bytesPerSector = 0;
    std::uint32_t sectorsPerTrack = 0;
    std::uint32_t heads = 0;
    std::uint32_t cylinders = 0;

    bool operator==(const FloppyLayout&) const = default;
    std::uint64_t Capacity() const
    {
        return std::uint64_t{bytesPerSector} * sectorsPerTrack * heads * cylinders;
    }
};

struct StandardFloppy {
    FloppyLayout layout;
    std::uint32_t mediaType;     // its media type code in a 3.5" drive (USB drives are all 3.5")
    std::uint32_t mediaType525;  // in a 5.25" drive
};

// Every standard format, smallest capacity first.
std::span<const StandardFloppy> StandardFloppies();

// The format of a medium known only by its size; null for a size that is no
// standard floppy capacity.
const StandardFloppy* StandardFloppyOfCapacity(std::uint64_t bytes);

// The media type code of a layout, which depends on the drive's form factor;
// 0 (unknown) for a layout that is no standard format.
std::uint32_t MediaTypeForLayout(const FloppyLayout& layout, bool fiveAndAQuarterInchDrive);
