#include "image_tool/sectors_json.h"

nlohmann::ordered_json SectorsJson(const std::vector<std::uint32_t>& indexes, const DiskGeometry& geometry)
{
    auto sectors = nlohmann::ordered_json::array();
    for (const std::uint32_t index : indexes) {
        const SectorPlace place = PlaceOf(geometry, index);
        sectors.push_back({{"cylinder", place.cylinder}, {"sector", place.sector}, {"head", place.head}});
    }
    return sectors;
}
