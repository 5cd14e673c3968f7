#include "image_tool/disk_map.h"

#include <algorithm>

bool DiskMap::Unreadable(std::uint32_t cylinder, std::uint32_t row) const
{
    const std::uint32_t index = cylinder * Rows() + row;
    return std::binary_search(unreadable->begin(), unreadable->end(), index);
}
