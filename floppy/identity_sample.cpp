#include "floppy/identity_sample.h"

#include <algorithm>

namespace {

bool IsOneByteRepeated(const std::uint8_t* sector, std::uint32_t size)
{
    return std::all_of(sector, sector + size, [first = sector[0]](std::uint8_t byte) { return byte == first; });
}

// The cylinders (0-based) that hold a listed sector, and those beside them.
std::vector<bool> CylindersNearListed(const DiskGeometry& geometry, const std::vector<std::uint32_t>& listed)
{
    std::vector<bool> near(geometry.Cylinders, false);
    for (const std::uint32_t index : listed) {
        const std::size_t cylinder = PlaceOf(geometry, index).cylinder - 1;
        near[cylinder] = true;
        if (cylinder > 0)
            near[cylinder - 1] = true;
        if (cylinder + 1 < near.size())
            near[cylinder + 1] = true;
    }
    return near;
}

}  // namespace

std::vector<std::uint32_t> IdentitySample(const DiskGeometry& geometry, const std::uint8_t* data,
                                          const std::vector<std::uint32_t>& listed)
{
    const auto total = static_cast<std::size_t>(SectorCount(geometry));
    std::vector<bool> chosen(total, false);
    std::vector<std::uint32_t> telling;  // good sectors that differ from a blank one
    const std::vector<bool> near = CylindersNearListed(geometry, listed);
    for (std::size_t index = 0; index < total; ++index) {
        if (std::binary_search(listed.begin(), listed.end(), index) ||
            IsOneByteRepeated(data + index * geometry.BytesPerSector, geometry.BytesPerSector))
            continue;
        telling.push_back(static_cast<std::uint32_t>(index));
        chosen[index] = near[PlaceOf(geometry, index).cylinder - 1];
    }
    if (telling.empty()) {
        // The list is sorted without repeats: the first good sector is the
        // first index it skips.
        std::size_t first = 0;
        while (first < listed.size() && listed[first] == first)
            ++first;
        return first < total ? std::vector<std::uint32_t>{static_cast<std::uint32_t>(first)}
                             : std::vector<std::uint32_t>{};
    }
    const std::size_t spread = std::min(kSpreadSectors, telling.size());
    for (std::size_t i = 0; i < spread; ++i)
        chosen[telling[i * telling.size() / spread]] = true;
    std::vector<std::uint32_t> sample;
    for (std::size_t index = 0; index < total; ++index) {
        if (chosen[index])
            sample.push_back(static_cast<std::uint32_t>(index));
    }
    return sample;
}
