#pragma once

#include <cstdint>
#include <string>

// "1 sector", "2 sectors": a count of sectors as the job's lines say it.
inline std::string CountOfSectors(std::uint64_t count)
{
    return std::to_string(count) + (count == 1 ? " sector" : " sectors");
}
