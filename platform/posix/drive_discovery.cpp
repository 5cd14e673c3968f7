#include "platform/posix/drive_discovery.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/posix/sysfs_attribute.h"

namespace platform {

namespace fs = std::filesystem;

namespace {

// Walks up from the block device's own device directory to the USB interface
// that serves it and asks whether that is mass storage (08) with the UFI
// command set (04), which only floppy drives speak.
bool IsUsbFloppy(const fs::path& blockDevice)
{
    std::error_code error;
    fs::path device = fs::canonical(blockDevice / "device", error);
    if (error)
        return false;
    for (; !device.empty() && device != device.root_path(); device = device.parent_path()) {
        if (fs::exists(device / "bInterfaceClass", error))
            return ReadSysfsAttribute(device / "bInterfaceClass") == "08" &&
                   ReadSysfsAttribute(device / "bInterfaceSubClass") == "04";
    }
    return false;
}

std::vector<std::string> UsbFloppyNames(const fs::path& blockRoot)
{
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(blockRoot, error)) {
        if (IsUsbFloppy(entry.path()))
            names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

std::vector<std::string> DiscoverFloppyDrives(const std::string& sysRoot, const std::string& devRoot)
{
    std::vector<std::string> drives;
    std::error_code error;
    for (const char* controllerDrive : {"fd0", "fd1"}) {
        const fs::path node = fs::path(devRoot) / controllerDrive;
        if (fs::exists(fs::symlink_status(node, error)))
            drives.push_back(node.string());
    }
    for (const std::string& name : UsbFloppyNames(fs::path(sysRoot) / "block"))
        drives.push_back((fs::path(devRoot) / name).string());
    return drives;
}

}  // namespace platform
