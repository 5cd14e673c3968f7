#pragma once
// A FAT sector that could not be read holds zeros in the image: a reader of
// that copy would see chains end early and call damaged files intact. Where
// one copy lost a sector that another copy kept, the kept one is taken.

#include <cstdint>
#include <vector>

#include "image_tool/disk_file_system.h"

// Mends the copies of the FAT ("FAT 1", "FAT 2", ... among `areas`) in the
// raw disk, sector by sector; `unreadable` is sorted.
void MendFatCopies(std::uint8_t* disk, std::uint32_t bytesPerSector, const std::vector<FileSystemArea>& areas,
                   const std::vector<std::uint32_t>& unreadable);
