#pragma once

#include <filesystem>
#include <fstream>
#include <string>

namespace platform {

// The value of a sysfs attribute: its first line whole (a backing file's name
// may hold spaces); empty where there is none.
inline std::string ReadSysfsAttribute(const std::filesystem::path& file)
{
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

}  // namespace platform
