#include "platform/platform_info.h"

namespace platform {

bool IsWindows9x()
{
    return false;
}

}  // namespace platform
