#include "image_tool/file_system_blocks.h"

#include <cstring>

namespace {

// The library names a volume label entry by its 11 bytes and this; a file
// with a long name has a short one beside it, a label never does.
constexpr char kLabelSuffix[] = " (Volume Label Entry)";
constexpr std::size_t kLabelNameLength = 11 + sizeof(kLabelSuffix) - 1;

}  // namespace

bool IsVolumeLabel(const TSK_FS_NAME& name)
{
    const std::size_t length = std::strlen(name.name);
    return length == kLabelNameLength && (name.shrt_name == nullptr || name.shrt_name[0] == '\0') &&
           std::strcmp(name.name + 11, kLabelSuffix) == 0;
}

namespace {

// Adds the disk's sectors under a block of the file system to `runs`.
void AddBlock(std::vector<SectorRun>& runs, TSK_DADDR_T block, const TSK_FS_INFO& fs, const DiskSectors& disk)
{
    const std::uint64_t start = std::uint64_t{block} * fs.block_size;
    if (start >= disk.diskSize)
        return;
    const std::uint64_t end = std::min<std::uint64_t>(start + fs.block_size, disk.diskSize);
    const auto first = static_cast<std::uint32_t>(start / disk.bytesPerSector);
    const auto last = static_cast<std::uint32_t>((end - 1) / disk.bytesPerSector);
    for (std::uint32_t sector = first; sector <= last; ++sector) {
        if (!runs.empty()) {
            SectorRun& previous = runs.back();
            const std::uint32_t end = previous.first + previous.count;
            if (sector >= previous.first && sector < end)
                continue;  // a block smaller than the disk's sectors
            if (sector == end) {
                ++previous.count;
                continue;
            }
        }
        runs.push_back({sector, 1});
    }
}

TSK_WALK_RET_ENUM NoteBlock(TSK_FS_FILE* /*file*/, TSK_OFF_T /*offset*/, TSK_DADDR_T address, char* /*data*/,
                            size_t /*size*/, TSK_FS_BLOCK_FLAG_ENUM flags, void* context)
{
    auto& walk = *static_cast<BlockWalk*>(context);
    if ((flags & TSK_FS_BLOCK_FLAG_SPARSE) == 0) {
        AddBlock(walk.runs, address, *walk.fs, *walk.disk);
        ++walk.blocks;
    }
    return TSK_WALK_CONT;
}

}  // namespace

BlockWalk WalkBlocks(TSK_FS_FILE* file, const DiskSectors& disk)
{
    BlockWalk walk{file->fs_info, &disk, {}, 0};
    if (tsk_fs_file_walk(file, TSK_FS_FILE_WALK_FLAG_AONLY, NoteBlock, &walk) != 0)
        tsk_error_reset();
    return walk;
}

std::vector<SectorRun> SectorsOfMeta(TSK_FS_INFO* fs, TSK_INUM_T address, const DiskSectors& disk)
{
    TSK_FS_FILE* file = tsk_fs_file_open_meta(fs, nullptr, address);
    if (file == nullptr) {
        tsk_error_reset();
        return {};
    }
    std::vector<SectorRun> runs = WalkBlocks(file, disk).runs;
    tsk_fs_file_close(file);
    return runs;
}
