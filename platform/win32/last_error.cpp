#include "platform/last_error.h"

#include "platform/win32/win32_api.h"

namespace platform {

std::uint32_t GetLastErrorCode() { return ::GetLastError(); }

void SetLastErrorCode(std::uint32_t code) { ::SetLastError(code); }

bool GetSystemErrorText(std::uint32_t code, std::string& text)
{
    constexpr DWORD kFlags =
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER;
    constexpr DWORD kUserDefaultLanguage = MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT);
    char* buffer = nullptr;
    // With FORMAT_MESSAGE_ALLOCATE_BUFFER the "buffer" argument receives the
    // address of the text the system allocated.
    const DWORD length = FormatMessageA(kFlags, nullptr, code, kUserDefaultLanguage,
                                        reinterpret_cast<LPSTR>(&buffer), 0, nullptr);
    if (length == 0)
        return false;
    text.assign(buffer, length);
    LocalFree(buffer);
    return true;
}

bool IsWholeMediumError(std::uint32_t code)
{
    switch (code) {
    case ERROR_WRITE_PROTECT:
    case ERROR_NOT_READY:
    case ERROR_DEV_NOT_EXIST:
    case ERROR_NO_MEDIA_IN_DRIVE:
    case ERROR_MEDIA_CHANGED:
    case ERROR_INVALID_HANDLE:
    case ERROR_ACCESS_DENIED:  // raw writes into a mounted volume
        return true;
    default:
        return false;
    }
}

bool IsAccessDenied(std::uint32_t code)
{
    return code == ERROR_ACCESS_DENIED;
}

bool IsBrokenPipe(std::uint32_t code)
{
    // Windows says "no data" for a pipe whose reader has gone; Wine says "not connected".
    return code == ERROR_NO_DATA || code == ERROR_BROKEN_PIPE || code == ERROR_PIPE_NOT_CONNECTED;
}

}  // namespace platform
