#include <cstring>

#include "image_tool/file_system_blocks.h"

namespace {

std::vector<std::uint32_t> Expand(const std::vector<SectorRun>& runs)
{
    std::vector<std::uint32_t> sectors;
    for (const SectorRun& run : runs)
        for (std::uint32_t i = 0; i < run.count; ++i)
            sectors.push_back(run.first + i);
    return sectors;
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
                areas.push_back(
                    {std::string("FAT ") + (name->name + 4), Expand(SectorsOfMeta(fs, name->meta_addr, disk))});
        }
        tsk_fs_dir_close(root);
    }
    areas.push_back({"root folder", Expand(SectorsOfMeta(fs, fs->root_inum, disk))});
    return areas;
}
