#include "platform/drive_device.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/last_error.h"
#include "platform/posix/drive_discovery.h"

namespace platform {

std::string DriveDevicePath(char driveLetter)
{
    const LastErrorGuard keep;
    const auto drives = DiscoverFloppyDrives("/sys", "/dev");
    const auto index = static_cast<std::size_t>(driveLetter - 'A');
    return driveLetter >= 'A' && index < drives.size() ? drives[index] : std::string();
}

// Access to a drive comes with the group that owns its node: floppy for the
// floppy controller's drives, disk for USB drives on Debian.
std::string DriveAccessAdvice(const std::string& devicePath)
{
    const LastErrorGuard keep;
    struct stat status {};
    const group* owner = stat(devicePath.c_str(), &status) == 0 && status.st_gid != 0 ? getgrgid(status.st_gid) : nullptr;
    if (owner == nullptr)
        return "only root may open it here: run the command as root";
    const passwd* user = getpwuid(geteuid());
    const std::string group = owner->gr_name;
    return "to use it, join the group '" + group + "' (sudo usermod -a -G " + group + " " +
           (user != nullptr ? user->pw_name : "USER") + ") and log in again";
}

}  // namespace platform
