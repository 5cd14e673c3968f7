#include "platform/file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/last_error.h"
#include "platform/posix/regular_file.h"
#include "platform/posix/retry_interrupted.h"

namespace platform {

namespace {

// Image files are regular files only: a device, FIFO or socket under the
// name is never read as an image nor replaced by one.
bool RefuseUnlessRegular(const struct stat& status)
{
    if (S_ISREG(status.st_mode))
        return false;
    errno = S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
    return true;
}

// Takes the advisory lock that mirrors a Windows share mode: a writer
// excludes everyone, readers exclude writers only. The descriptor is closed
// when the file is no regular file (any more) or the lock cannot be had.
FileHandle LockOpened(int descriptor, int lock)
{
    struct stat status {};
    if (fstat(descriptor, &status) != 0 || RefuseUnlessRegular(status) ||
        (lock != 0 && flock(descriptor, lock | LOCK_NB) != 0)) {
        const LastErrorGuard keep;
        close(descriptor);
        return nullptr;
    }
    return Handle(descriptor);
}

// The mode a plain new file gets here: 0666 less the umask. The umask can only
// be read by setting it; no other thread of ours creates files meanwhile.
mode_t PlainCreationMode()
{
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

}  // namespace

// Without blocking: a FIFO would otherwise wait in open() for its other end;
// on a regular file the flag changes nothing.
FileHandle OpenRegularFile(const std::string& path, int flags, int lock)
{
    struct stat status {};
    // An existing name is checked before it is opened, so that no device is
    // ever opened (opening some, such as tapes, has effects of its own).
    if (stat(path.c_str(), &status) == 0 && RefuseUnlessRegular(status))
        return nullptr;
    const int descriptor =
        RetryInterrupted([&] { return open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK, 0666); });
    if (descriptor < 0)
        return nullptr;
    return LockOpened(descriptor, lock);
}

FileHandle CreateNewFile(const std::string& path)
{
    return OpenRegularFile(path, O_WRONLY | O_CREAT | O_EXCL, LOCK_EX);
}

FileHandle OpenExistingForWriting(const std::string& path)
{
    return OpenRegularFile(path, O_WRONLY, LOCK_EX);
}

FileHandle OpenExistingForUpdating(const std::string& path)
{
    return OpenRegularFile(path, O_RDWR, LOCK_EX);
}

FileHandle OpenForReading(const std::string& path)
{
    return OpenRegularFile(path, O_RDONLY, LOCK_SH);
}

// Returns up to `size` bytes; 0 only at the end of the file.
bool ReadFile(FileHandle file, void* target, std::size_t size, std::size_t& got)
{
    const ssize_t count = RetryInterrupted([&] { return read(Descriptor(file), target, size); });
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
        const ssize_t count = RetryInterrupted([&] { return write(Descriptor(file), bytes, size); });
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

FileHandle CreateTemporaryBeside(const std::string& beside, std::string& name)
{
    const std::size_t slash = beside.rfind('/');
    std::string pattern = (slash == std::string::npos ? std::string() : beside.substr(0, slash + 1)) + ".mvXXXXXX";
    // mkostemp makes the file with mode 0600, so nobody else can open it
    // while the image is written, nor after a killed run.
    const int descriptor = mkostemp(pattern.data(), O_CLOEXEC);
    if (descriptor < 0)
        return nullptr;
    FileHandle file = LockOpened(descriptor, LOCK_EX);
    if (file == nullptr) {
        LastErrorGuard keep;
        unlink(pattern.c_str());
        return nullptr;
    }
    name = pattern;
    return file;
}

bool TakeAccessOf(FileHandle file, FileHandle model)
{
    struct stat status {};
    if (model == nullptr)
        return fchmod(Descriptor(file), PlainCreationMode()) == 0;
    if (fstat(Descriptor(model), &status) != 0)
        return false;
    // Only a privileged run may give the file away; otherwise it stays ours.
    // The owner first: a change of owner clears the set-id bits.
    if (fchown(Descriptor(file), status.st_uid, status.st_gid) != 0 && errno != EPERM)
        return false;
    return fchmod(Descriptor(file), status.st_mode & 07777) == 0;
}

}  // namespace platform
