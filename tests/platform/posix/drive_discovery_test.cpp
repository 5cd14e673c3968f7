#include "platform/posix/drive_discovery.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

class DriveDiscovery : public TempFolder {
protected:
    fs::path Sys() const { return m_folder / "sys"; }
    fs::path Dev() const { return m_folder / "dev"; }

    void SetUp() override { MakeEmptyRoots(); }

    void MakeEmptyRoots()
    {
        fs::remove_all(Sys());
        fs::remove_all(Dev());
        fs::create_directories(Dev());
        fs::create_directories(Sys() / "block");
    }

    // A disk behind a USB mass-storage interface, laid out as the kernel does:
    // /sys/block/<name> links into the device tree, whose "device" link leads to
    // the SCSI device below the interface.
    void AddUsbDisk(const std::string& name, const std::string& subclass)
    {
        const fs::path interface = Sys() / "devices" / ("usb-" + name) / "1-1:1.0";
        const fs::path scsi = interface / "host0" / "target0:0:0" / "0:0:0:0";
        fs::create_directories(scsi / "block" / name);
        std::ofstream(interface / "bInterfaceClass") << "08\n";
        std::ofstream(interface / "bInterfaceSubClass") << subclass << "\n";
        fs::create_directory_symlink("../..", scsi / "block" / name / "device");
        fs::create_directory_symlink(scsi / "block" / name, Sys() / "block" / name);
        std::ofstream(Dev() / name).put('x');
    }

    // A disk on no USB interface at all (virtio, loop).
    void AddOtherDisk(const std::string& name)
    {
        const fs::path device = Sys() / "devices" / "pci0000:00" / "virtio1";
        fs::create_directories(device);
        std::ofstream(device / "vendor") << "0x1af4\n";
        fs::create_directories(Sys() / "block" / name);
        fs::create_directory_symlink(device, Sys() / "block" / name / "device");
    }

    std::vector<std::string> Paths(const std::vector<std::string>& names) const
    {
        std::vector<std::string> paths;
        for (const std::string& name : names)
            paths.push_back(Dev() / name);
        return paths;
    }
};

TEST_F(DriveDiscovery, LettersFollowTheControllerDrivesThenUsbFloppiesByName)
{
    struct Case {
        const char* what;
        std::vector<std::string> controllerNodes;
        std::vector<std::pair<std::string, std::string>> usbDisks;  // name, subclass
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases = {
        {"nothing at all", {}, {}, {}},
        {"fd0 only", {"fd0"}, {}, {"fd0"}},
        {"both controller drives", {"fd1", "fd0"}, {}, {"fd0", "fd1"}},
        {"fd1 alone is A:", {"fd1"}, {}, {"fd1"}},
        {"a USB floppy after fd0 is B:", {"fd0"}, {{"sdb", "04"}}, {"fd0", "sdb"}},
        {"a USB stick is no floppy", {"fd0"}, {{"sda", "06"}, {"sdb", "04"}}, {"fd0", "sdb"}},
        {"USB floppies by name", {}, {{"sdd", "04"}, {"sdb", "04"}, {"sdc", "06"}}, {"sdb", "sdd"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MakeEmptyRoots();
        for (const std::string& node : c.controllerNodes)
            std::ofstream(Dev() / node).put('x');
        for (const auto& [name, subclass] : c.usbDisks)
            AddUsbDisk(name, subclass);
        EXPECT_EQ(platform::DiscoverFloppyDrives(Sys(), Dev()), Paths(c.expected));
    }
}

TEST_F(DriveDiscovery, DisksOffUsbAndMissingTreesAreNoFloppies)
{
    AddOtherDisk("vda");
    fs::create_directories(Sys() / "block" / "loop0");  // no "device" link at all
    EXPECT_TRUE(platform::DiscoverFloppyDrives(Sys(), Dev()).empty());

    std::ofstream(Dev() / "fd0").put('x');
    EXPECT_EQ(platform::DiscoverFloppyDrives((m_folder / "no-sys").string(), Dev()), Paths({"fd0"}));
}

}  // namespace
