#pragma once
// The device behind a drive letter, and what to tell a user whose drive could
// not be opened: the device that was tried, and what someone the system
// refused it to can do about it.

#include <string>

namespace platform {

// The device that OpenVolume opens for drive 'A' or 'B' ("/dev/fd0", a USB
// drive's "/dev/sdb", "\\.\A:"); empty when the system has no such drive.
std::string DriveDevicePath(char driveLetter);

// One sentence of advice for a user denied access to `devicePath`.
std::string DriveAccessAdvice(const std::string& devicePath);

}  // namespace platform
