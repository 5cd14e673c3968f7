#include "image_tool/safe_entry_name.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>

namespace {

bool IsReservedDeviceName(const std::string& name)
{
    // Windows takes these as devices with any extension, and with trailing spaces.
    std::string stem = name.substr(0, name.find('.'));
    stem.erase(stem.find_last_not_of(' ') + 1);
    std::transform(stem.begin(), stem.end(), stem.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    static constexpr std::array<const char*, 6> kDevices = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    if (std::any_of(kDevices.begin(), kDevices.end(), [&](const char* device) { return stem == device; }))
        return true;
    return stem.size() == 4 && (stem.rfind("COM", 0) == 0 || stem.rfind("LPT", 0) == 0) &&
           std::isdigit(static_cast<unsigned char>(stem[3])) != 0;
}

}  // namespace

bool IsSafeEntryName(const std::string& name)
{
    if (name.empty() || name == "." || name == ".." || name.back() == '.' || name.back() == ' ')
        return false;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || std::strchr("/\\:*?\"<>|", c) != nullptr)
            return false;
    }
    return !IsReservedDeviceName(name);
}
