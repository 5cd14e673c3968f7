#include "image_tool/disk_file_system.h"

std::string EntryPath(const std::vector<FileSystemEntry>& entries, std::size_t index)
{
    std::string path = entries[index].folder ? "/" : "";
    // Parents come before their entries, so the climb ends.
    for (std::size_t at = index; at != FileSystemEntry::kInRoot; at = entries[at].parent)
        path.insert(0, "/" + entries[at].name);
    return path;
}
