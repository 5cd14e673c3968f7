#pragma once
// The content of the record that lists a disk's unreadable sectors.

#include <cstdint>
#include <vector>

#include "formats/disk_geometry.h"

std::vector<std::uint8_t> SerialiseSectorList(const std::vector<std::uint32_t>& sectors);

// Takes the list only when all of it can be trusted: whole u32 entries,
// strictly ascending, every one inside the geometry. Otherwise `sectors`
// is left empty and false comes back, as for a record we do not know.
bool ParseSectorList(const std::vector<std::uint8_t>& content, const DiskGeometry& geometry,
                     std::vector<std::uint32_t>& sectors);
