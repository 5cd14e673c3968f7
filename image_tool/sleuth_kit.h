#pragma once
// The Sleuth Kit's functions that the file-system walks call, taken from the
// library at run time: only the commands that read a file system load it and
// the many libraries it links. Its headers still give the types.

#include <tsk/libtsk.h>

#include <string>

struct SleuthKit {
    decltype(&::tsk_img_open_external) img_open_external;
    decltype(&::tsk_img_close) img_close;
    decltype(&::tsk_fs_open_img) fs_open_img;
    decltype(&::tsk_fs_close) fs_close;
    decltype(&::tsk_fs_dir_open_meta) fs_dir_open_meta;
    decltype(&::tsk_fs_dir_getsize) fs_dir_getsize;
    decltype(&::tsk_fs_dir_get) fs_dir_get;
    decltype(&::tsk_fs_dir_get_name) fs_dir_get_name;
    decltype(&::tsk_fs_dir_close) fs_dir_close;
    decltype(&::tsk_fs_file_open_meta) fs_file_open_meta;
    decltype(&::tsk_fs_file_walk) fs_file_walk;
    decltype(&::tsk_fs_file_close) fs_file_close;
    decltype(&::tsk_error_reset) error_reset;
};

// Loads the library the first time; false, with the loader's reason in
// `problem`, when it or one of its functions cannot be had.
bool LoadSleuthKit(std::string& problem);

// The loaded library's functions; only after LoadSleuthKit succeeded.
const SleuthKit& Tsk();
