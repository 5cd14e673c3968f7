#include "image_tool/file_system_walk.h"

namespace {

struct ContentWalk {
    const std::function<bool(std::uint64_t, const std::uint8_t*, std::size_t)>* sink;
    bool refused = false;
};

TSK_WALK_RET_ENUM PassContent(TSK_FS_FILE* /*file*/, TSK_OFF_T offset, TSK_DADDR_T /*address*/, char* data, size_t size,
                              TSK_FS_BLOCK_FLAG_ENUM /*flags*/, void* context)
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
