#pragma once
// What the bindings of files, of append-only files and of the console share:
// the handle of a descriptor, and the one way a name is opened as a regular file.

#include <cstdint>
#include <string>

#include "platform/file.h"

namespace platform {

// Descriptor 0 must not look like "not open", hence the offset of one.
inline FileHandle Handle(int descriptor)
{
    return reinterpret_cast<FileHandle>(static_cast<std::intptr_t>(descriptor) + 1);
}

inline int Descriptor(FileHandle file)
{
    return static_cast<int>(reinterpret_cast<std::intptr_t>(file)) - 1;
}

// Opens `path` with `flags` (O_CLOEXEC and O_NONBLOCK added; a new file gets
// 0666 less the umask) only when it is a regular file, taking the advisory
// lock `lock` (LOCK_EX, LOCK_SH, or 0 for none) without waiting; null, with
// the cause in errno, otherwise.
FileHandle OpenRegularFile(const std::string& path, int flags, int lock);

}  // namespace platform
