#pragma once
// The walks over an open file system of The Sleuth Kit that CDiskFileSystem
// is made of. Block addresses become the disk's own 0-based sectors, which
// may be larger or smaller than the file system's.

#include <tsk/libtsk.h>

#include "image_tool/disk_file_system.h"

struct DiskSectors {
    std::uint32_t bytesPerSector;
    std::size_t diskSize;
};

std::string VolumeLabel(TSK_FS_INFO* fs);
std::vector<FileSystemArea> WalkSystemAreas(TSK_FS_INFO* fs, const DiskSectors& disk);
std::vector<FileSystemEntry> WalkEntries(TSK_FS_INFO* fs, const DiskSectors& disk);
bool WalkContent(TSK_FS_INFO* fs, std::uint64_t address,
                 const std::function<bool(std::uint64_t, const std::uint8_t*, std::size_t)>& sink);
