#pragma once
// Files that several runs append to, such as a shared log: each addition is
// made whole under an exclusive lock, at the end of the file.
//
// Every call reports success as a bool and, on failure, leaves the thread's
// last error describing the cause.

#include <cstdint>
#include <string>

#include "platform/file.h"

namespace platform {

// Opens `path` for appending, creating it when missing (a plain new file's
// permissions); only a regular file is taken. Others may read and append too.
FileHandle OpenForAppending(const std::string& path);

// Waits for the exclusive lock on the whole file; `length` receives the
// file's length once it is held.
bool LockForAppending(FileHandle file, std::uint64_t& length);

// Writes all `size` bytes at the end of the file, flushes them to the medium
// and gives the lock up (also when the write failed).
bool AppendAndUnlock(FileHandle file, const void* source, std::size_t size);

}  // namespace platform
