#pragma once
// The blocks of a file of The Sleuth Kit as the disk's own 0-based sectors,
// which may be larger or smaller than the file system's blocks.

#include "image_tool/file_system_walk.h"

struct BlockWalk {
    const TSK_FS_INFO* fs;
    const DiskSectors* disk;
    std::vector<SectorRun> runs;
    std::uint64_t blocks = 0;  // blocks found, sparse ones left out
};

// The blocks the file's content lies in, as far as its chain can be followed.
BlockWalk WalkBlocks(TSK_FS_FILE* file, const DiskSectors& disk);
std::vector<SectorRun> SectorsOfMeta(TSK_FS_INFO* fs, TSK_INUM_T address, const DiskSectors& disk);

// Whether the library's name stands for the volume label, not a file.
bool IsVolumeLabel(const TSK_FS_NAME& name);
