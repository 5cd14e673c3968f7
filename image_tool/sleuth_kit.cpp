#include "image_tool/sleuth_kit.h"

#include "platform/posix/shared_library.h"

namespace {

struct LoadedKit {
    SleuthKit functions{};
    std::string problem;  // empty once loaded
};

template <typename Function>
bool Bind(platform::LibraryHandle library, const char* name, Function& function, std::string& problem)
{
    function = reinterpret_cast<Function>(platform::FindLibraryFunction(library, name, problem));
    return function != nullptr;
}

LoadedKit Load()
{
    LoadedKit kit;
    // MV_TSK_SONAME: the library the build was made against, read off it by CMake.
    const platform::LibraryHandle library = platform::LoadSharedLibrary(MV_TSK_SONAME, kit.problem);
    if (library == nullptr)
        return kit;
    SleuthKit& f = kit.functions;
    std::string& p = kit.problem;
    const bool bound = Bind(library, "tsk_img_open_external", f.img_open_external, p) &&
                       Bind(library, "tsk_img_close", f.img_close, p) &&
                       Bind(library, "tsk_fs_open_img", f.fs_open_img, p) &&
                       Bind(library, "tsk_fs_close", f.fs_close, p) &&
                       Bind(library, "tsk_fs_dir_open_meta", f.fs_dir_open_meta, p) &&
                       Bind(library, "tsk_fs_dir_getsize", f.fs_dir_getsize, p) &&
                       Bind(library, "tsk_fs_dir_get", f.fs_dir_get, p) &&
                       Bind(library, "tsk_fs_dir_get_name", f.fs_dir_get_name, p) &&
                       Bind(library, "tsk_fs_dir_close", f.fs_dir_close, p) &&
                       Bind(library, "tsk_fs_file_open_meta", f.fs_file_open_meta, p) &&
                       Bind(library, "tsk_fs_file_walk", f.fs_file_walk, p) &&
                       Bind(library, "tsk_fs_file_close", f.fs_file_close, p) &&
                       Bind(library, "tsk_error_reset", f.error_reset, p);
    if (bound)
        p.clear();
    return kit;
}

const LoadedKit& Kit()
{
    static const LoadedKit kit = Load();
    return kit;
}

}  // namespace

bool LoadSleuthKit(std::string& problem)
{
    problem = Kit().problem;
    return problem.empty();
}

const SleuthKit& Tsk()
{
    return Kit().functions;
}
