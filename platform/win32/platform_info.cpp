#include "platform/platform_info.h"

#include "platform/win32/win32_api.h"

namespace platform {

bool IsWindows9x()
{
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    static_assert(sizeof version == 148);
    // Deprecated because it lies about versions after 8.1; the platform id,
    // the only field read here, is still told truthfully.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    const BOOL succeeded = GetVersionExA(&version);
#pragma GCC diagnostic pop
    return succeeded && version.dwPlatformId != VER_PLATFORM_WIN32_NT;
}

}  // namespace platform
