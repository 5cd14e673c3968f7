#pragma once

#include <cstdint>
#include <string>

// The console's description of a Windows MEDIA_TYPE code; "Format is
// unknown." for 0 and for every code above 22.
std::string DescribeMediaType(std::uint32_t mediaType);
