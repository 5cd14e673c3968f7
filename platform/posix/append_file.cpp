#include "platform/append_file.h"

#include <fcntl.h>
#include <sys/file.h>

#include "platform/last_error.h"
#include "platform/posix/regular_file.h"
#include "platform/posix/retry_interrupted.h"

namespace platform {

// A log is a regular file: a device or FIFO under the name is never opened
// (opening some has effects of their own). O_APPEND puts every write at the
// end, whoever else appends meanwhile.
FileHandle OpenForAppending(const std::string& path)
{
    return OpenRegularFile(path, O_WRONLY | O_APPEND | O_CREAT, 0);
}

bool LockForAppending(FileHandle file, std::uint64_t& length)
{
    if (RetryInterrupted([file] { return flock(Descriptor(file), LOCK_EX); }) != 0)
        return false;
    if (GetFileLength(file, length))
        return true;
    const LastErrorGuard keep;
    flock(Descriptor(file), LOCK_UN);
    return false;
}

bool AppendAndUnlock(FileHandle file, const void* source, std::size_t size)
{
    const bool written = WriteFile(file, source, size) && SyncFile(file);
    const LastErrorGuard keep;
    flock(Descriptor(file), LOCK_UN);
    return written;
}

}  // namespace platform
