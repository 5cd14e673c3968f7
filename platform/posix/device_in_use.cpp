#include "platform/posix/device_in_use.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/posix/sysfs_attribute.h"
#include "platform/posix/volume.h"

namespace platform {

namespace fs = std::filesystem;

namespace {

// Deeper than any stack of devices anyone builds on a floppy.
constexpr int kMaxStackDepth = 8;

// The loop driver keeps the name its backing file was opened by.
bool IsBackedBy(const fs::path& loop, dev_t device)
{
    const std::string backing = ReadSysfsAttribute(loop / "loop" / "backing_file");
    struct stat status {};
    return !backing.empty() && stat(backing.c_str(), &status) == 0 && S_ISBLK(status.st_mode) &&
           status.st_rdev == device;
}

// The names ("dm-0", "loop1") of the block devices stacked directly on
// `device`: what holds it in sysfs, and the loop devices whose backing file it
// is, which the kernel lists nowhere else.
std::vector<std::string> StackedDevices(dev_t device)
{
    std::vector<std::string> names;
    std::error_code error;
    const fs::path holders = fs::path("/sys/dev/block") /
                             (std::to_string(major(device)) + ":" + std::to_string(minor(device))) / "holders";
    for (const auto& entry : fs::directory_iterator(holders, error))
        names.push_back(entry.path().filename().string());
    for (const auto& entry : fs::directory_iterator("/sys/block", error)) {
        if (IsBackedBy(entry.path(), device))
            names.push_back(entry.path().filename().string());
    }
    return names;
}

// A block device that is mounted (or held exclusively by another program)
// refuses an exclusive open with EBUSY; our own open is not exclusive.
bool OpensExclusively(const std::string& path)
{
    const int probe = OpenRetrying(path, O_RDONLY | O_EXCL);
    if (probe < 0)
        return false;
    close(probe);
    return true;
}

// A loop device over the drive with a file system mounted on it claims only
// itself: what is stacked counts as much as the device itself.
bool IsStackInUse(const std::string& path, int depth)
{
    struct stat status {};
    if (depth > kMaxStackDepth || stat(path.c_str(), &status) != 0)
        return true;
    for (const std::string& name : StackedDevices(status.st_rdev)) {
        const std::string node = "/dev/" + name;
        if (!OpensExclusively(node) || IsStackInUse(node, depth + 1))
            return true;
    }
    return false;
}

}  // namespace

bool IsInUseByOthers(const std::string& path)
{
    if (!OpensExclusively(path))
        return errno == EBUSY;
    return IsStackInUse(path, 0);
}

}  // namespace platform
