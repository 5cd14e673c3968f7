#include "tests/support/error_codes.h"

#include <windows.h>

std::uint32_t SectorErrorCode() { return ERROR_CRC; }
std::uint32_t WriteProtectedErrorCode() { return ERROR_WRITE_PROTECT; }
std::uint32_t NoMediumErrorCode() { return ERROR_NOT_READY; }
