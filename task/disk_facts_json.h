#pragma once
// A disk's facts as JSON, in the one shape that mendarovel-image info --json
// and the records beside images share.

#include <cstdint>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "formats/disk_geometry.h"

// The text, or null when it is empty.
nlohmann::ordered_json TextOrNull(const std::string& text);

// {"bytes_per_sector", "sectors_per_track", "heads", "cylinders", "media_type"}
nlohmann::ordered_json GeometryJson(const DiskGeometry& geometry);

// [{"cylinder", "sector", "head"}, ...] (each from 1, as the program names
// sectors) of 0-based linear sector indexes.
nlohmann::ordered_json SectorsJson(const std::vector<std::uint32_t>& indexes, const DiskGeometry& geometry);
