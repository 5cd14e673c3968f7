#include "image_tool/file_system_damage.h"

#include <algorithm>

#include "image_tool/fat_copies.h"

std::unique_ptr<CDiskFileSystem> OpenMendedFileSystem(const DiskInMemory& disk)
{
    const std::uint32_t bytesPerSector = disk.geometry.BytesPerSector;
    auto fs = CDiskFileSystem::Open(disk.data, disk.size, bytesPerSector);
    if (fs == nullptr || disk.unreadable->empty())
        return fs;
    // The library keeps what it has read of the FAT: it reads the mended disk afresh.
    const std::vector<FileSystemArea> areas = fs->SystemAreas();
    fs.reset();
    MendFatCopies(disk.data, bytesPerSector, areas, *disk.unreadable);
    return CDiskFileSystem::Open(disk.data, disk.size, bytesPerSector);
}

std::string NoFileSystemText(const DiskInMemory& disk)
{
    const std::vector<std::uint32_t>& unreadable = *disk.unreadable;
    if (!unreadable.empty() && unreadable.front() == 0)
        return "the disk holds no FAT file system that can be read (its boot sector was unreadable)";
    return "the disk holds no FAT file system that can be read";
}

std::vector<std::uint32_t> UnreadableSectorsOf(const FileSystemEntry& entry,
                                               const std::vector<std::uint32_t>& unreadable)
{
    std::vector<std::uint32_t> hit;
    for (const SectorRun& run : entry.sectors) {
        const std::uint64_t end = std::uint64_t{run.first} + run.count;
        for (auto at = std::lower_bound(unreadable.begin(), unreadable.end(), run.first);
             at != unreadable.end() && *at < end; ++at)
            hit.push_back(*at);
    }
    return hit;
}

std::uint64_t LostSectors(const FileSystemEntry& entry, const std::vector<std::uint32_t>& unreadable)
{
    return UnreadableSectorsOf(entry, unreadable).size() + entry.missingSectors;
}

std::uint64_t SectorCount(const FileSystemEntry& entry)
{
    std::uint64_t count = 0;
    for (const SectorRun& run : entry.sectors)
        count += run.count;
    return count;
}

FileSystemDamage AssessDamage(const CDiskFileSystem& fs, const DiskInMemory& disk)
{
    const std::vector<std::uint32_t>& unreadable = *disk.unreadable;
    const std::size_t sectorCount = disk.size / disk.geometry.BytesPerSector;
    FileSystemDamage damage;
    std::vector<bool> used(sectorCount, false);
    for (FileSystemArea& area : fs.SystemAreas()) {
        std::vector<std::uint32_t> lost;
        for (const std::uint32_t sector : area.sectors) {
            used[sector] = true;
            if (std::binary_search(unreadable.begin(), unreadable.end(), sector))
                lost.push_back(sector);
        }
        if (!lost.empty())
            damage.damagedAreas.push_back({area.name, lost});
    }
    damage.entries = fs.Entries();
    for (const FileSystemEntry& entry : damage.entries) {
        // The old clusters of a deleted entry are free space.
        if (entry.deleted)
            continue;
        ++damage.liveEntries;
        if (LostSectors(entry, unreadable) != 0)
            ++damage.damagedEntries;
        for (const SectorRun& run : entry.sectors)
            std::fill_n(used.begin() + run.first, run.count, true);
    }
    for (const std::uint32_t sector : unreadable)
        if (sector < sectorCount && !used[sector])
            damage.freeUnreadable.push_back(sector);
    return damage;
}
