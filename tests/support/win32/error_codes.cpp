#include "tests/support/error_codes.h"

#include <windows.h>

std::uint32_t SectorErrorCode() { return ERROR_CRC; }
std::uint32_t WriteProtectedErrorCode() { return ERROR_WRITE_PROTECT; }
std::uint32_t NoMediumErrorCode() { return ERROR_NOT_READY; }

std::uint32_t FileExistsErrorCode() { return ERROR_FILE_EXISTS; }
std::uint32_t FileNotFoundErrorCode() { return ERROR_FILE_NOT_FOUND; }
std::uint32_t FileInUseErrorCode() { return ERROR_SHARING_VIOLATION; }
std::uint32_t FolderErrorCode() { return ERROR_ACCESS_DENIED; }
std::uint32_t DeviceErrorCode() { return ERROR_INVALID_FUNCTION; }
const char* DevicePath() { return "NUL"; }
