#pragma once
// What the unreadable sectors of a disk hit in its file system: files and
// folders, system areas, free space.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "formats/disk_geometry.h"
#include "image_tool/disk_file_system.h"

// A raw disk in memory with the sectors that could not be read when it was
// imaged (0-based, sorted; they hold zeros).
struct DiskInMemory {
    std::string name;  // the image file, for messages
    std::uint8_t* data;
    std::size_t size;
    DiskGeometry geometry;
    const std::vector<std::uint32_t>* unreadable;
};

// Opens the file system after mending its FAT from its other copies (in
// place, in `disk`); null when the disk holds none that can be read.
std::unique_ptr<CDiskFileSystem> OpenMendedFileSystem(const DiskInMemory& disk);

// The line a command prints on standard error when there is none.
std::string NoFileSystemText(const DiskInMemory& disk);

struct FileSystemDamage {
    std::vector<FileSystemEntry> entries;
    std::vector<FileSystemArea> damagedAreas;   // each with only its unreadable sectors
    std::vector<std::uint32_t> freeUnreadable;  // in no file, folder or system area
    std::size_t damagedEntries = 0;             // not counting deleted ones
    std::size_t liveEntries = 0;
};

FileSystemDamage AssessDamage(const CDiskFileSystem& fs, const DiskInMemory& disk);

// The unreadable sectors among those of the entry.
std::vector<std::uint32_t> UnreadableSectorsOf(const FileSystemEntry& entry,
                                               const std::vector<std::uint32_t>& unreadable);

// Sectors the entry lost: unreadable ones and those its chain does not reach.
std::uint64_t LostSectors(const FileSystemEntry& entry, const std::vector<std::uint32_t>& unreadable);

std::uint64_t SectorCount(const FileSystemEntry& entry);
