#include <cstring>
#include <set>

#include "image_tool/file_system_blocks.h"

namespace {

bool IsDotEntry(const char* name)
{
    return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
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
        entry.missingSectors =
            static_cast<std::uint32_t>((missingBytes + disk.bytesPerSector - 1) / disk.bytesPerSector);
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
