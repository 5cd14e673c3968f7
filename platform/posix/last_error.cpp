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

namespace {

// strerror_r comes in two kinds: the GNU one returns the text (perhaps a static
// one, not the buffer); the XSI one fills the buffer and returns 0 or an error.
[[maybe_unused]] const char* ErrorTextOf(const char* gnuResult, const char* /*buffer*/)
{
    return gnuResult;
}

[[maybe_unused]] const char* ErrorTextOf(int xsiResult, const char* buffer)
{
    return xsiResult == 0 ? buffer : nullptr;
}

}  // namespace

bool GetSystemErrorText(std::uint32_t code, std::string& text)
{
    char buffer[256];
    const char* found = ErrorTextOf(strerror_r(static_cast<int>(code), buffer, sizeof buffer), buffer);
    if (found == nullptr)
        return false;
    text = found;
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

bool IsAccessDenied(std::uint32_t code)
{
    return static_cast<int>(code) == EACCES || static_cast<int>(code) == EPERM;
}

bool IsBrokenPipe(std::uint32_t code)
{
    return static_cast<int>(code) == EPIPE;
}

}  // namespace platform
