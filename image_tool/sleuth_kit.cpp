#include "image_tool/sleuth_kit.h"

#include "platform/posix/shared_library.h"

namespace {

struct LoadedKit {
    SleuthKit functions{};
    std::string problem;  // empty once loaded
};

// Binds functions of the library by name until one is missing.
class FunctionBinder {
public:
    FunctionBinder(platform::LibraryHandle library, std::string& problem) : m_library(library), m_problem(problem) {}

    template <typename Function>
    void operator()(const char* name, Function& function)
    {
        if (!m_bound)
            return;
        function = reinterpret_cast<Function>(platform::FindLibraryFunction(m_library, name, m_problem));
        m_bound = function != nullptr;
    }

private:
    platform::LibraryHandle m_library;
    std::string& m_problem;
    bool m_bound = true;
};

LoadedKit Load()
{
    LoadedKit kit;
    // MV_TSK_SONAME: the library the build was made against, read off it by CMake.
    const platform::LibraryHandle library = platform::LoadSharedLibrary(MV_TSK_SONAME, kit.problem);
    if (library == nullptr)
        return kit;
    SleuthKit& f = kit.functions;
    FunctionBinder bind(library, kit.problem);
    bind("tsk_img_open_external", f.img_open_external);
    bind("tsk_img_close", f.img_close);
    bind("tsk_fs_open_img", f.fs_open_img);
    bind("tsk_fs_close", f.fs_close);
    bind("tsk_fs_dir_open_meta", f.fs_dir_open_meta);
    bind("tsk_fs_dir_getsize", f.fs_dir_getsize);
    bind("tsk_fs_dir_get", f.fs_dir_get);
    bind("tsk_fs_dir_get_name", f.fs_dir_get_name);
    bind("tsk_fs_dir_close", f.fs_dir_close);
    bind("tsk_fs_file_open_meta", f.fs_file_open_meta);
    bind("tsk_fs_file_walk", f.fs_file_walk);
    bind("tsk_fs_file_close", f.fs_file_close);
    bind("tsk_error_reset", f.error_reset);
    return kit;  // the problem stays empty when every function was found
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
