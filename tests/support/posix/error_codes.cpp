#include "tests/support/error_codes.h"

#include <cerrno>

std::uint32_t SectorErrorCode() { return EIO; }
std::uint32_t WriteProtectedErrorCode() { return EROFS; }
std::uint32_t NoMediumErrorCode() { return ENOMEDIUM; }

std::uint32_t FileExistsErrorCode() { return EEXIST; }
std::uint32_t FileNotFoundErrorCode() { return ENOENT; }
std::uint32_t FileInUseErrorCode() { return EWOULDBLOCK; }
std::uint32_t FolderErrorCode() { return EISDIR; }
std::uint32_t DeviceErrorCode() { return EINVAL; }
const char* DevicePath() { return "/dev/full"; }
