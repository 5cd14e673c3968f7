#include "platform/posix/stacked_devices.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <filesystem>
#include <fstream>
#include <system_error>

namespace platform {

namespace fs = std::filesystem;

namespace {

std::string ReadLine(const fs::path& file)
{
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

// The loop driver keeps the name its backing file was opened by.
bool IsBackedBy(const fs::path& loop, dev_t device)
{
    const std::string backing = ReadLine(loop / "loop" / "backing_file");
    struct stat status {};
    return !backing.empty() && stat(backing.c_str(), &status) == 0 && S_ISBLK(status.st_mode) &&
           status.st_rdev == device;
}

}  // namespace

std::vector<std::string> StackedDevices(dev_t device, const std::string& sysRoot)
{
    std::vector<std::string> names;
    std::error_code error;
    const fs::path holders = fs::path(sysRoot) / "dev" / "block" /
                             (std::to_string(major(device)) + ":" + std::to_string(minor(device))) / "holders";
    for (const auto& entry : fs::directory_iterator(holders, error))
        names.push_back(entry.path().filename().string());
    for (const auto& entry : fs::directory_iterator(fs::path(sysRoot) / "block", error)) {
        if (IsBackedBy(entry.path(), device))
            names.push_back(entry.path().filename().string());
    }
    return names;
}

}  // namespace platform
