#include "image/sector_list.h"

#include "formats/little_endian.h"

std::vector<std::uint8_t> SerialiseSectorList(const std::vector<std::uint32_t>& sectors)
{
    std::vector<std::uint8_t> content(sectors.size() * 4);
    for (std::size_t i = 0; i < sectors.size(); ++i)
        PutU32(content.data() + 4 * i, sectors[i]);
    return content;
}

bool ParseSectorList(const std::vector<std::uint8_t>& content, const DiskGeometry& geometry,
                     std::vector<std::uint32_t>& sectors)
{
    sectors.clear();
    const std::uint64_t sectorCount = SectorCount(geometry);
    if (content.size() % 4 != 0)
        return false;
    std::vector<std::uint32_t> parsed;
    parsed.reserve(content.size() / 4);
    for (std::size_t at = 0; at < content.size(); at += 4) {
        const std::uint32_t index = GetU32(content.data() + at);
        if (index >= sectorCount || (!parsed.empty() && index <= parsed.back()))
            return false;
        parsed.push_back(index);
    }
    sectors = std::move(parsed);
    return true;
}
