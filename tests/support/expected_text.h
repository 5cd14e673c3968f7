#pragma once

#include <cstdint>
#include <string>

#include "console/console_log.h"
#include "formats/media_types.h"
#include "platform/last_error.h"

// The error line a reporter prints for `code`, as the console shows it.
inline std::string ErrorLine(std::uint32_t code)
{
    platform::SetLastErrorCode(code);
    return "\nERROR: " + LastErrorText();
}

// The lines of a successful media query that found `mediaType`.
inline std::string MediaQueried(std::uint32_t mediaType)
{
    return "\nQuerying media information...ok\nInserted media: " + DescribeMediaType(mediaType);
}
