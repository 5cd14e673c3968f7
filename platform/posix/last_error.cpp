#include "platform/last_error.h"

#include <cerrno>
#include <cstring>

namespace platform {

std::uint32_t GetLastErrorCode()
{
    return static_cast<std::uint32_t>(errno);
}

void SetLastErrorCode(std::uint32_t code)
{
    errno = static_cast<int>(code);
}

bool GetSystemErrorText(std::uint32_t code, std::string& text)
{
    char buffer[256];
    // The GNU variant may return a static text instead of filling the buffer.
    text = strerror_r(static_cast<int>(code), buffer, sizeof buffer);
    return true;
}

bool IsWholeMediumError(std::uint32_t code)
{
    switch (static_cast<int>(code)) {
    case EROFS:        // write-protected
    case ENOMEDIUM:    // no disk in the drive
    case ENXIO:        // the floppy driver's word for the same
    case ENODEV:       // the drive went away
    case EBUSY:        // mounted or held by someone else
    case EMEDIUMTYPE:  // a medium we cannot address
    case EBADF:
        return true;
    default:
        return false;
    }
}

}  // namespace platform
