#pragma once

#include <string>

#include "platform/win32/win32_api.h"

namespace platform {

// Image files and logs are files on a disk: a device such as NUL or COM1, or
// a pipe, is neither read nor written as one (ERROR_INVALID_FUNCTION). Null
// when the file cannot be opened so.
HANDLE OpenFileOnDisk(const std::string& path, DWORD access, DWORD share, DWORD disposition);

}  // namespace platform
