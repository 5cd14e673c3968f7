#include "platform/file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/last_error.h"

namespace platform {

namespace {

int Descriptor(FileHandle file)
{
    return static_cast<int>(reinterpret_cast<std::intptr_t>(file)) - 1;
}

// Descriptor 0 must not look like "not open", hence the offset of one.
FileHandle Handle(int descriptor)
{
    return reinterpret_cast<FileHandle>(static_cast<std::intptr_t>(descriptor) + 1);
}

void CloseKeepingError(int descriptor)
{
    LastErrorGuard keep;
    close(descriptor);
}

// Opens and takes the advisory lock that mirrors a Windows share mode: a
// writer excludes everyone, readers exclude writers only.
FileHandle OpenLocked(const std::string& path, int flags, int lock)
{
    int descriptor = -1;
    do {
        descriptor = open(path.c_str(), flags | O_CLOEXEC, 0666);
    } while (descriptor < 0 && errno == EINTR);
    if (descriptor < 0)
        return nullptr;
    struct stat status {};
    if (fstat(descriptor, &status) != 0) {
        CloseKeepingError(descriptor);
        return nullptr;
    }
    if (S_ISDIR(status.st_mode)) {
        CloseKeepingError(descriptor);
        errno = EISDIR;
        return nullptr;
    }
    if (flock(descriptor, lock | LOCK_NB) != 0) {
        CloseKeepingError(descriptor);
        return nullptr;
    }
    return Handle(descriptor);
}

}  // namespace

FileHandle CreateNewFile(const std::string& path)
{
    return OpenLocked(path, O_WRONLY | O_CREAT | O_EXCL, LOCK_EX);
}

FileHandle OpenExistingForWriting(const std::string& path)
{
    return OpenLocked(path, O_WRONLY, LOCK_EX);
}

FileHandle OpenForReading(const std::string& path)
{
    return OpenLocked(path, O_RDONLY, LOCK_SH);
}

// Returns up to `size` bytes; 0 only at the end of the file.
bool ReadFile(FileHandle file, void* target, std::size_t size, std::size_t& got)
{
    ssize_t count = 0;
    do {
        count = read(Descriptor(file), target, size);
    } while (count < 0 && errno == EINTR);
    if (count < 0)
        return false;
    got = static_cast<std::size_t>(count);
    return true;
}

// A write that moves nothing at all means the medium is full.
bool WriteFile(FileHandle file, const void* source, std::size_t size)
{
    const auto* bytes = static_cast<const std::uint8_t*>(source);
    while (size > 0) {
        const ssize_t count = write(Descriptor(file), bytes, size);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return false;
        if (count == 0) {
            errno = ENOSPC;
            return false;
        }
        bytes += count;
        size -= static_cast<std::size_t>(count);
    }
    return true;
}

bool SeekFile(FileHandle file, std::int64_t offset, SeekOrigin origin, std::uint64_t& position)
{
    const int whence = origin == SeekOrigin::Begin ? SEEK_SET : origin == SeekOrigin::Current ? SEEK_CUR : SEEK_END;
    const off_t result = lseek(Descriptor(file), static_cast<off_t>(offset), whence);
    if (result < 0)
        return false;
    position = static_cast<std::uint64_t>(result);
    return true;
}

bool GetFileLength(FileHandle file, std::uint64_t& length)
{
    struct stat status {};
    if (fstat(Descriptor(file), &status) != 0)
        return false;
    length = static_cast<std::uint64_t>(status.st_size);
    return true;
}

bool SyncFile(FileHandle file)
{
    return fsync(Descriptor(file)) == 0;
}

bool CloseFile(FileHandle file)
{
    return close(Descriptor(file)) == 0;
}

bool PathExists(const std::string& path)
{
    struct stat status {};
    return lstat(path.c_str(), &status) == 0;
}

std::string SiblingTemporaryName(const std::string& target, unsigned attempt)
{
    return target + "." + std::to_string(getpid()) + "-" + std::to_string(attempt) + ".partial";
}

bool ReplaceFile(const std::string& from, const std::string& to)
{
    struct stat status {};
    if (stat(to.c_str(), &status) == 0 && chmod(from.c_str(), status.st_mode & 07777) != 0)
        return false;
    return rename(from.c_str(), to.c_str()) == 0;
}

bool RemoveFile(const std::string& path)
{
    return unlink(path.c_str()) == 0;
}

}  // namespace platform
