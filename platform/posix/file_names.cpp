#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <utility>

#include "platform/file_names.h"
#include "platform/posix/retry_interrupted.h"

namespace platform {

namespace {

// As many links as the kernel itself follows before it gives up on a name.
constexpr int kMaxLinks = 40;

// The folder part of `path` with its slash, empty for a bare name.
std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

bool PathExists(const std::string& path)
{
    struct stat status {};
    return lstat(path.c_str(), &status) == 0;
}

bool SameFile(const std::string& first, const std::string& second)
{
    struct stat one {};
    struct stat other {};
    return stat(first.c_str(), &one) == 0 && stat(second.c_str(), &other) == 0 && one.st_dev == other.st_dev &&
           one.st_ino == other.st_ino;
}

bool ResolveLinks(const std::string& path, std::string& resolved)
{
    std::string name = path;
    for (int hops = 0; hops < kMaxLinks; ++hops) {
        struct stat status {};
        if (lstat(name.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) {
            resolved = name;
            return true;
        }
        std::string link(static_cast<std::size_t>(status.st_size) + 1, '\0');
        const ssize_t length = readlink(name.c_str(), link.data(), link.size());
        if (length < 0)
            return false;
        // Empty, or longer than lstat said: a link of the kernel's own making
        // or one that changed under us; neither names a file we could replace.
        if (length == 0 || static_cast<std::size_t>(length) >= link.size()) {
            errno = EINVAL;
            return false;
        }
        link.resize(static_cast<std::size_t>(length));
        // A relative link is relative to the folder that holds it.
        if (link.front() != '/')
            link.insert(0, FolderOf(name));
        name = std::move(link);
    }
    errno = ELOOP;
    return false;
}

bool CanReplace(const std::string& path)
{
    struct stat file {};
    struct stat folder {};
    const std::string folderName = FolderOf(path);
    if (lstat(path.c_str(), &file) != 0)
        return errno == ENOENT;
    if (stat(folderName.empty() ? "." : folderName.c_str(), &folder) != 0)
        return false;
    // The privileged may replace anything (CAP_FOWNER); they run as uid 0.
    const uid_t self = geteuid();
    if ((folder.st_mode & S_ISVTX) == 0 || self == 0 || file.st_uid == self || folder.st_uid == self)
        return true;
    errno = EPERM;
    return false;
}

bool ReplaceFile(const std::string& from, const std::string& to)
{
    return rename(from.c_str(), to.c_str()) == 0;
}

bool RemoveFile(const std::string& path)
{
    return unlink(path.c_str()) == 0;
}

bool SyncFolderOf(const std::string& path)
{
    const std::string folder = FolderOf(path);
    const int descriptor = RetryInterrupted(
        [&folder] { return open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); });
    if (descriptor < 0)
        return false;
    // Some file systems keep no folder to flush and say so with EINVAL.
    const bool synced = fsync(descriptor) == 0 || errno == EINVAL;
    const int error = errno;
    close(descriptor);
    errno = error;
    return synced;
}

}  // namespace platform
