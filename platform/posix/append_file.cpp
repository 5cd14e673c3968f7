#include "platform/append_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

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
    struct stat status {};
    if (fstat(Descriptor(file), &status) != 0) {
        LastErrorGuard keep;
        flock(Descriptor(file), LOCK_UN);
        return false;
    }
    length = static_cast<std::uint64_t>(status.st_size);
    return true;
}

bool AppendAndUnlock(FileHandle file, const void* source, std::size_t size)
{
    const bool written = WriteFile(file, source, size) && fsync(Descriptor(file)) == 0;
    LastErrorGuard keep;
    flock(Descriptor(file), LOCK_UN);
    return written;
}

}  // namespace platform
