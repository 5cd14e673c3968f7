#include "platform/posix/volume.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <new>

#include "platform/posix/retry_interrupted.h"

namespace platform {

namespace {

constexpr std::size_t kDirectAlignment = 4096;

}  // namespace

int OpenRetrying(const std::string& path, int flags)
{
    return RetryInterrupted([&] { return open(path.c_str(), flags | O_CLOEXEC); });
}

bool EnsureBounce(Volume& volume, std::size_t size)
{
    if (volume.bounceSize >= size)
        return true;
    void* buffer = nullptr;
    const std::size_t rounded = (size + kDirectAlignment - 1) / kDirectAlignment * kDirectAlignment;
    if (posix_memalign(&buffer, kDirectAlignment, rounded) != 0) {
        errno = ENOMEM;
        return false;
    }
    std::free(volume.bounce);
    volume.bounce = buffer;
    volume.bounceSize = rounded;
    return true;
}

int NormaliseMediumError(int error)
{
    return error == ENXIO ? ENOMEDIUM : error;
}

VolumeHandle OpenVolumePath(const std::string& path, VolumeAccess access)
{
    struct stat status {};
    if (stat(path.c_str(), &status) != 0)
        return nullptr;
    auto* volume = new (std::nothrow) Volume;
    if (volume == nullptr) {
        errno = ENOMEM;
        return nullptr;
    }
    volume->blockDevice = S_ISBLK(status.st_mode);
    volume->path = path;
    // Never O_NONBLOCK: the floppy driver would then skip its write-protect check.
    const int direct = volume->blockDevice ? O_DIRECT : 0;
    // A job that only reads never holds the drive open for writing.
    volume->readOnly = access == VolumeAccess::Read;
    volume->descriptor = OpenRetrying(path, (volume->readOnly ? O_RDONLY : O_RDWR) | direct);
    if (volume->descriptor < 0 && !volume->readOnly && (errno == EROFS || errno == EACCES)) {
        // A protected disk can still be imaged.
        volume->descriptor = OpenRetrying(path, O_RDONLY | direct);
        volume->readOnly = volume->descriptor >= 0;
    }
    // The kernel opens a write-protected block device read-write and refuses
    // each write with EPERM instead; ask it so that writes fail with EROFS.
    int protectedMedium = 0;
    if (volume->descriptor >= 0 && volume->blockDevice &&
        ioctl(volume->descriptor, BLKROGET, &protectedMedium) == 0 && protectedMedium != 0)
        volume->readOnly = true;
    if (volume->descriptor < 0) {
        const int error = NormaliseMediumError(errno);
        delete volume;
        errno = error;
        return nullptr;
    }
    return volume;
}

}  // namespace platform
