#pragma once
// Sectors in the tool's JSON: where each lies on the disk, as the program
// names sectors in its lines (cylinder, sector, head, each from 1).

#include <cstdint>
#include <vector>

#include <nlohmann/json.hpp>

#include "formats/disk_geometry.h"

// [{"cylinder": C, "sector": S, "head": H}, ...] for 0-based linear indexes.
nlohmann::ordered_json SectorsJson(const std::vector<std::uint32_t>& indexes, const DiskGeometry& geometry);
