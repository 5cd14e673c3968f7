#include "task/disk_facts_json.h"

nlohmann::ordered_json TextOrNull(const std::string& text)
{
    return text.empty() ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(text);
}

nlohmann::ordered_json GeometryJson(const DiskGeometry& geometry)
{
    return {{"bytes_per_sector", geometry.BytesPerSector},
            {"sectors_per_track", geometry.SectorsPerTrack},
            {"heads", geometry.TracksPerCylinder},
            {"cylinders", geometry.Cylinders},
            {"media_type", geometry.MediaType}};
}

nlohmann::ordered_json SectorsJson(const std::vector<std::uint32_t>& indexes, const DiskGeometry& geometry)
{
    auto sectors = nlohmann::ordered_json::array();
    for (const std::uint32_t index : indexes) {
        const SectorPlace place = PlaceOf(geometry, index);
        sectors.push_back({{"cylinder", place.cylinder}, {"sector", place.sector}, {"head", place.head}});
    }
    return sectors;
}
