#include "image_tool/file_system_walk.h"

#include <cstring>
#include <set>

namespace {

// The library names a volume label entry by its 11 bytes and this; a file
// with a long name has a short one beside it, a label never does.
constexpr char kLabelSuffix[] = " (Volume Label Entry)";
constexpr std::size_t kLabelNameLength = 11 + sizeof(kLabelSuffix) - 1;

bool IsVolumeLabel(const TSK_FS_NAME& name)
{
    const std::size_t length = std::strlen(name.name);
    return length == kLabelNameLength && (name.shrt_name == nullptr || name.shrt_name[0] == '\0') &&
           std::strcmp(name.name + 11, kLabelSuffix) == 0;
}

bool IsDotEntry(const char* name)
{
    return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

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

struct BlockWalk {
    const TSK_FS_INFO* fs;
    const DiskSectors* disk;
    std::vector<SectorRun> runs;
    std::uint64_t blocks = 0;
};

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

// The blocks the file's content lies in, as far as its chain can be followed.
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

std::vector<std::uint32_t> Expand(const std::vector<SectorRun>& runs)
{
    std::vector<std::uint32_t> sectors;
    for (const SectorRun& run : runs)
        for (std::uint32_t i = 0; i < run.count; ++i)
            sectors.push_back(run.first + i);
    return sectors;
}

FileSystemEntry EntryOf(TSK_FS_FILE& file, std::size_t parent, const DiskSectors& disk)
{
    FileSystemEntry entry;
    entry.name = file.name->name;
    entry.parent = parent;
    entry.size = file.meta->size > 0 ? static_cast<std::uint64_t>(file.meta->size) : 0;
    entry.modified = file.meta->mtime;
    entry.folder = file.meta->type == TSK_FS_META_TYPE_DIR;
    entry.deleted = (file.name->flags & TSK_FS_NAME_FLAG_UNALLOC) != 0;
    entry.address = file.name->meta_addr;
    const BlockWalk walk = WalkBlocks(&file, disk);
    entry.sectors = walk.runs;
    const std::uint64_t needed = (entry.size + file.fs_info->block_size - 1) / file.fs_info->block_size;
    if (!entry.deleted && walk.blocks < needed) {
        const std::uint64_t missingBytes = (needed - walk.blocks) * file.fs_info->block_size;
        entry.missingSectors = static_cast<std::uint32_t>((missingBytes + disk.bytesPerSector - 1) / disk.bytesPerSector);
    }
    return entry;
}

struct FolderToWalk {
    TSK_INUM_T address;
    std::size_t index;
};

// Lists a folder's entries into `entries` and the folders among them, not yet
// entered, into `folders`.
void WalkFolder(TSK_FS_INFO* fs, const FolderToWalk& folder, const DiskSectors& disk,
                std::vector<FileSystemEntry>& entries, std::set<TSK_INUM_T>& entered,
                std::vector<FolderToWalk>& folders)
{
    TSK_FS_DIR* dir = tsk_fs_dir_open_meta(fs, folder.address);
    if (dir == nullptr) {
        tsk_error_reset();
        return;
    }
    std::vector<FolderToWalk> found;
    for (std::size_t i = 0; i < tsk_fs_dir_getsize(dir); ++i) {
        TSK_FS_FILE* file = tsk_fs_dir_get(dir, i);
        if (file == nullptr) {
            tsk_error_reset();
            continue;
        }
        const TSK_FS_NAME& name = *file->name;
        const bool listed = file->meta != nullptr && name.type != TSK_FS_NAME_TYPE_VIRT &&
                            name.type != TSK_FS_NAME_TYPE_VIRT_DIR && !IsDotEntry(name.name) && !IsVolumeLabel(name);
        if (listed) {
            entries.push_back(EntryOf(*file, folder.index, disk));
            const FileSystemEntry& entry = entries.back();
            if (entry.folder && !entry.deleted && entered.insert(name.meta_addr).second)
                found.push_back({name.meta_addr, entries.size() - 1});
        }
        tsk_fs_file_close(file);
    }
    tsk_fs_dir_close(dir);
    // Walked next, in the order they were found.
    folders.insert(folders.end(), found.rbegin(), found.rend());
}

}  // namespace

std::string VolumeLabel(TSK_FS_INFO* fs)
{
    TSK_FS_DIR* root = tsk_fs_dir_open_meta(fs, fs->root_inum);
    if (root == nullptr) {
        tsk_error_reset();
        return "";
    }
    std::string label;
    for (std::size_t i = 0; i < tsk_fs_dir_getsize(root) && label.empty(); ++i) {
        const TSK_FS_NAME* name = tsk_fs_dir_get_name(root, i);
        if (name != nullptr && (name->flags & TSK_FS_NAME_FLAG_ALLOC) != 0 && IsVolumeLabel(*name))
            label.assign(name->name, 11);
    }
    tsk_fs_dir_close(root);
    label.erase(label.find_last_not_of(' ') + 1);
    return label;
}

std::vector<FileSystemArea> WalkSystemAreas(TSK_FS_INFO* fs, const DiskSectors& disk)
{
    // The library shows the boot sector and the copies of the FAT as virtual
    // files in the root folder.
    std::vector<FileSystemArea> areas;
    TSK_FS_DIR* root = tsk_fs_dir_open_meta(fs, fs->root_inum);
    if (root == nullptr) {
        tsk_error_reset();
    } else {
        for (std::size_t i = 0; i < tsk_fs_dir_getsize(root); ++i) {
            const TSK_FS_NAME* name = tsk_fs_dir_get_name(root, i);
            if (name == nullptr || name->type != TSK_FS_NAME_TYPE_VIRT)
                continue;
            if (std::strcmp(name->name, "$MBR") == 0)
                areas.insert(areas.begin(), {"boot sector", Expand(SectorsOfMeta(fs, name->meta_addr, disk))});
            else if (std::strncmp(name->name, "$FAT", 4) == 0)
                areas.push_back({std::string("FAT ") + (name->name + 4), Expand(SectorsOfMeta(fs, name->meta_addr, disk))});
        }
        tsk_fs_dir_close(root);
    }
    areas.push_back({"root folder", Expand(SectorsOfMeta(fs, fs->root_inum, disk))});
    return areas;
}

std::vector<FileSystemEntry> WalkEntries(TSK_FS_INFO* fs, const DiskSectors& disk)
{
    std::vector<FileSystemEntry> entries;
    std::set<TSK_INUM_T> entered{fs->root_inum};
    std::vector<FolderToWalk> folders{{fs->root_inum, FileSystemEntry::kInRoot}};
    while (!folders.empty()) {
        const FolderToWalk folder = folders.back();
        folders.pop_back();
        WalkFolder(fs, folder, disk, entries, entered, folders);
    }
    return entries;
}

namespace {

struct ContentWalk {
    const std::function<bool(std::uint64_t, const std::uint8_t*, std::size_t)>* sink;
    bool refused = false;
};

TSK_WALK_RET_ENUM PassContent(TSK_FS_FILE* /*file*/, TSK_OFF_T offset, TSK_DADDR_T /*address*/, char* data,
                              size_t size, TSK_FS_BLOCK_FLAG_ENUM /*flags*/, void* context)
{
    auto& walk = *static_cast<ContentWalk*>(context);
    if (!(*walk.sink)(static_cast<std::uint64_t>(offset), reinterpret_cast<const std::uint8_t*>(data), size)) {
        walk.refused = true;
        return TSK_WALK_STOP;
    }
    return TSK_WALK_CONT;
}

}  // namespace

bool WalkContent(TSK_FS_INFO* fs, std::uint64_t address,
                 const std::function<bool(std::uint64_t, const std::uint8_t*, std::size_t)>& sink)
{
    TSK_FS_FILE* file = tsk_fs_file_open_meta(fs, nullptr, address);
    if (file == nullptr) {
        tsk_error_reset();
        return false;
    }
    ContentWalk walk{&sink};
    const bool walked = tsk_fs_file_walk(file, TSK_FS_FILE_WALK_FLAG_NONE, PassContent, &walk) == 0;
    tsk_error_reset();
    tsk_fs_file_close(file);
    return walked && !walk.refused;
}
