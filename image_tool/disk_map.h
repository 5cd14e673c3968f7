#pragma once
// The disk as map draws it: a grid with one column per cylinder and one row
// per head and sector, each cell good or unreadable; and the map file of GNU
// ddrescue, which its ddrescuelog and graphical viewers read.

#include <cstdint>
#include <string>
#include <vector>

#include "formats/disk_geometry.h"

struct DiskMap {
    DiskGeometry geometry;
    const std::vector<std::uint32_t>* unreadable;  // 0-based, sorted

    std::uint32_t Rows() const { return geometry.TracksPerCylinder * geometry.SectorsPerTrack; }
    // Row from 0: head by head, sector by sector within the head.
    bool Unreadable(std::uint32_t cylinder, std::uint32_t row) const;
};

// For a terminal with `colour`, else in plain characters.
std::string GridText(const DiskMap& map, bool colour);
std::string SvgPicture(const DiskMap& map);
std::string DdrescueMapFile(const DiskMap& map, const std::string& creator);
