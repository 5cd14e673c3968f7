#include "image_tool/fat_copies.h"

#include <algorithm>
#include <cstring>

namespace {

bool Unreadable(const std::vector<std::uint32_t>& unreadable, std::uint32_t sector)
{
    return std::binary_search(unreadable.begin(), unreadable.end(), sector);
}

}  // namespace

void MendFatCopies(std::uint8_t* disk, std::uint32_t bytesPerSector, const std::vector<FileSystemArea>& areas,
                   const std::vector<std::uint32_t>& unreadable)
{
    std::vector<const FileSystemArea*> copies;
    for (const FileSystemArea& area : areas)
        if (area.name.rfind("FAT ", 0) == 0)
            copies.push_back(&area);
    for (const FileSystemArea* copy : copies) {
        for (std::size_t i = 0; i < copy->sectors.size(); ++i) {
            const std::uint32_t lost = copy->sectors[i];
            if (!Unreadable(unreadable, lost))
                continue;
            for (const FileSystemArea* other : copies) {
                if (i < other->sectors.size() && !Unreadable(unreadable, other->sectors[i])) {
                    std::memcpy(disk + std::size_t{lost} * bytesPerSector,
                                disk + std::size_t{other->sectors[i]} * bytesPerSector, bytesPerSector);
                    break;
                }
            }
        }
    }
}
