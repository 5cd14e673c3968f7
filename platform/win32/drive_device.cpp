#include "platform/drive_device.h"

namespace platform {

std::string DriveDevicePath(char driveLetter)
{
    return driveLetter == 'A' || driveLetter == 'B' ? std::string("\\\\.\\") + driveLetter + ":" : std::string();
}

std::string DriveAccessAdvice(const std::string& /*devicePath*/)
{
    return "to use it, start the console with \"Run as administrator\"";
}

}  // namespace platform
