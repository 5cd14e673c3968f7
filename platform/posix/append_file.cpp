#include "platform/append_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/last_error.h"

namespace platform {

namespace {

int Descriptor(FileHandle file)
{
    return static_cast<int>(reinterpret_cast<std::intptr_t>(file)) - 1;
}

}  // namespace

// A log is a regular file: a device or FIFO under the name is never opened
// (opening some has effects of their own). O_APPEND puts every write at the
// end, whoever else appends meanwhile.
FileHandle OpenForAppending(const std::string& path)
{
    struct stat status {};
    if (stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode)) {
        errno = S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
        return nullptr;
    }
    int descriptor = -1;
    do {
        descriptor = open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0666);
    } while (descriptor < 0 && errno == EINTR);
    if (descriptor < 0)
        return nullptr;
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        close(descriptor);
        errno = EINVAL;  // replaced by something else meanwhile
        return nullptr;
    }
    // Descriptor 0 must not look like "not open", hence the offset of one.
    return reinterpret_cast<FileHandle>(static_cast<std::intptr_t>(descriptor) + 1);
}

bool LockForAppending(FileHandle file, std::uint64_t& length)
{
    int locked = -1;
    do {
        locked = flock(Descriptor(file), LOCK_EX);
    } while (locked != 0 && errno == EINTR);
    struct stat status {};
    if (locked != 0)
        return false;
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
