#include "tests/support/error_codes.h"

#include <cerrno>

std::uint32_t SectorErrorCode() { return EIO; }
std::uint32_t WriteProtectedErrorCode() { return EROFS; }
std::uint32_t NoMediumErrorCode() { return ENOMEDIUM; }
