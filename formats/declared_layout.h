#pragma once
// The layout a disk's boot sector declares, for the formats a drive cannot
// tell by itself: the floppy driver takes a DMF disk (80 x 2 x 21) for a
// 1.44 MB one, since the first sectors of its track 0 read the same.

#include <cstddef>
#include <cstdint>
#include <functional>

#include "formats/disk_geometry.h"

// The 512-byte-sector layout in the parameter block of a DOS boot sector
// (media type 0); false when `sector` holds no such block or it does not
// describe whole cylinders.
bool DeclaredLayout(const std::uint8_t* sector, std::size_t size, DiskGeometry& layout);

// What choosing a layout needs of the drive.
struct LayoutAccess {
    // Reads one 512-byte sector of the medium as addressed under `layout`.
    std::function<bool(const DiskGeometry& layout, const SectorPlace& place, std::uint8_t* bytes)> readSector;
    // Makes the drive address the medium as `layout`; and back as it chose.
    std::function<bool(const DiskGeometry& layout)> useLayout;
    std::function<void()> useDriversLayout;
};

enum class LayoutChoice {
    Drivers,   // the driver's layout stands (no boot sector, agreement, or the declared one did not read)
    Declared,  // `layout` now holds the declared standard layout, and the drive uses it
    Refused,   // the boot sector declares more sectors than any layout we can use: imaging would truncate
};

// Given the driver's layout, settles which one the medium is read under.
LayoutChoice ChooseLayout(const LayoutAccess& access, DiskGeometry& layout);
