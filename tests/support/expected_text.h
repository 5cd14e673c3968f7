#pragma once

#include <cstdint>
#include <string>

#include "console/console_log.h"
#include "platform/last_error.h"

// The error line a reporter prints for `code`, as the console shows it.
inline std::string ErrorLine(std::uint32_t code)
{
    platform::SetLastErrorCode(code);
    return "\nERROR: " + LastErrorText();
}
