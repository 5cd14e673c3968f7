#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/file.h"
#include "platform/last_error.h"
#include "platform/posix/drive_discovery.h"
#include "platform/posix/floppy_layouts.h"
#include "platform/posix/volume_path.h"

namespace {

namespace fs = std::filesystem;

class TempDir : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/mv-platform-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_dir = pattern;
    }
    void TearDown() override { fs::remove_all(m_dir); }

    std::string MakeFile(const std::string& name, std::size_t size, char fill = 0)
    {
        const std::string path = m_dir / name;
        std::ofstream(path, std::ios::binary) << std::string(size, fill);
        return path;
    }

    fs::path m_dir;
};

using PlainFileVolume = TempDir;

TEST_F(PlainFileVolume, GeometryComesFromTheStandardCapacities)
{
    struct Case {
        std::size_t size;
        platform::VolumeGeometry geometry;
    };
    for (const Case& c : {Case{163840, {512, 8, 1, 40, 10}}, Case{368640, {512, 9, 2, 40, 6}},
                          Case{737280, {512, 9, 2, 80, 5}}, Case{1228800, {512, 15, 2, 80, 17}},
                          Case{1261568, {1024, 8, 2, 77, 18}}, Case{1474560, {512, 18, 2, 80, 2}},
                          Case{2949120, {512, 36, 2, 80, 3}}}) {
        platform::VolumeHandle volume = platform::OpenVolumePath(MakeFile("disk", c.size));
        ASSERT_NE(volume, nullptr) << c.size;
        platform::VolumeGeometry g;
        ASSERT_TRUE(platform::GetVolumeGeometry(volume, g)) << c.size;
        EXPECT_EQ(std::vector<std::uint32_t>({g.bytesPerSector, g.sectorsPerTrack, g.tracksPerCylinder, g.cylinders, g.mediaType}),
                  std::vector<std::uint32_t>({c.geometry.bytesPerSector, c.geometry.sectorsPerTrack,
                                              c.geometry.tracksPerCylinder, c.geometry.cylinders, c.geometry.mediaType}));
        EXPECT_TRUE(platform::CloseVolume(volume));
    }
}

TEST_F(PlainFileVolume, AnOddSizeIsAWrongMediumType)
{
    platform::VolumeHandle volume = platform::OpenVolumePath(MakeFile("odd", 1474561));
    ASSERT_NE(volume, nullptr);
    platform::VolumeGeometry g;
    EXPECT_FALSE(platform::GetVolumeGeometry(volume, g));
    EXPECT_EQ(platform::GetLastErrorCode(), static_cast<std::uint32_t>(EMEDIUMTYPE));
    platform::CloseVolume(volume);
}

TEST_F(PlainFileVolume, TransfersExactlyOneSectorAtItsOffset)
{
    const std::string path = MakeFile("disk", 1474560, 'z');
    platform::VolumeHandle volume = platform::OpenVolumePath(path);
    ASSERT_NE(volume, nullptr);
    const std::vector<char> sector(512, 'L');
    ASSERT_TRUE(platform::WriteVolume(volume, 1474048, sector.data(), 512));
    std::vector<char> back(512);
    ASSERT_TRUE(platform::ReadVolume(volume, 1474048, back.data(), 512));
    EXPECT_EQ(back, sector);
    ASSERT_TRUE(platform::ReadVolume(volume, 1473536, back.data(), 512));
    EXPECT_EQ(back, std::vector<char>(512, 'z'));
    // Past the end: fewer bytes than a sector is a failure, never a success.
    EXPECT_FALSE(platform::ReadVolume(volume, 1474560 - 100, back.data(), 512));
    EXPECT_EQ(platform::GetLastErrorCode(), static_cast<std::uint32_t>(EIO));
    EXPECT_TRUE(platform::CloseVolume(volume));
    EXPECT_EQ(fs::file_size(path), 1474560u);
}

TEST_F(PlainFileVolume, MissingDrivesAndEmptyDrivesAreNamedPlainly)
{
    EXPECT_EQ(platform::OpenVolumePath((m_dir / "none").string()), nullptr);
    EXPECT_EQ(platform::GetLastErrorCode(), static_cast<std::uint32_t>(ENOENT));
    EXPECT_EQ(platform::NormaliseMediumError(ENXIO), ENOMEDIUM);
    EXPECT_EQ(platform::NormaliseMediumError(EIO), EIO);
    EXPECT_TRUE(platform::IsWholeMediumError(EROFS));
    EXPECT_TRUE(platform::IsWholeMediumError(ENOMEDIUM));
    EXPECT_FALSE(platform::IsWholeMediumError(EIO));
}

TEST(FloppyLayouts, TheDriveDecidesBetweenThreeAndAHalfAndFiveAndAQuarterInchCodes)
{
    struct Case {
        platform::VolumeGeometry layout;
        std::uint32_t in35, in525;
    };
    for (const Case& c : {Case{{512, 15, 2, 80, 0}, 17, 1}, Case{{512, 9, 2, 80, 0}, 5, 16},
                          Case{{1024, 8, 2, 77, 0}, 18, 19}, Case{{512, 18, 2, 80, 0}, 2, 2},
                          Case{{512, 21, 2, 82, 0}, 0, 0}}) {
        EXPECT_EQ(platform::MediaTypeForLayout(c.layout, false), c.in35);
        EXPECT_EQ(platform::MediaTypeForLayout(c.layout, true), c.in525);
    }
}

using DriveDiscovery = TempDir;

TEST_F(DriveDiscovery, ControllerDrivesFirstThenUsbFloppiesByName)
{
    const fs::path sys = m_dir / "sys", dev = m_dir / "dev";
    fs::create_directories(dev);
    fs::create_directories(sys / "block");
    // A USB interface of the given subclass with one disk behind it.
    auto usbDisk = [&](const std::string& name, const std::string& subclass) {
        const fs::path interface = sys / "devices" / ("usb-" + name) / "1-1:1.0";
        const fs::path device = interface / "host0" / "target0:0:0" / "0:0:0:0";
        fs::create_directories(device);
        std::ofstream(interface / "bInterfaceClass") << "08\n";
        std::ofstream(interface / "bInterfaceSubClass") << subclass << "\n";
        fs::create_directories(sys / "block" / name);
        fs::create_directory_symlink(device, sys / "block" / name / "device");
    };
    EXPECT_TRUE(platform::DiscoverFloppyDrives(sys, dev).empty());

    usbDisk("sdc", "04");
    usbDisk("sdb", "04");
    usbDisk("sda", "06");  // a USB stick: SCSI command set, no floppy
    EXPECT_EQ(platform::DiscoverFloppyDrives(sys, dev),
              (std::vector<std::string>{dev / "sdb", dev / "sdc"}));

    std::ofstream(dev / "fd1").put('x');
    std::ofstream(dev / "fd0").put('x');
    EXPECT_EQ(platform::DiscoverFloppyDrives(sys, dev),
              (std::vector<std::string>{dev / "fd0", dev / "fd1", dev / "sdb", dev / "sdc"}));
}

using ImageFiles = TempDir;

TEST_F(ImageFiles, LocksMirrorTheShareModes)
{
    const std::string path = MakeFile("image.dsk", 10);
    EXPECT_EQ(platform::CreateNewFile(path), nullptr);  // never over an existing file

    platform::FileHandle reader = platform::OpenForReading(path);
    platform::FileHandle second = platform::OpenForReading(path);
    ASSERT_NE(reader, nullptr);
    EXPECT_NE(second, nullptr);  // readers share
    EXPECT_EQ(platform::OpenExistingForWriting(path), nullptr);  // a writer must wait
    platform::CloseFile(reader);
    platform::CloseFile(second);

    platform::FileHandle writer = platform::OpenExistingForWriting(path);
    ASSERT_NE(writer, nullptr);
    EXPECT_EQ(platform::OpenForReading(path), nullptr);  // nobody reads a file being replaced
    platform::CloseFile(writer);
}

TEST_F(ImageFiles, FoldersAreRefusedAndReplacingKeepsThePermissions)
{
    EXPECT_EQ(platform::OpenForReading(m_dir.string()), nullptr);
    EXPECT_EQ(platform::GetLastErrorCode(), static_cast<std::uint32_t>(EISDIR));
    EXPECT_EQ(platform::OpenExistingForWriting(m_dir.string()), nullptr);

    const std::string target = MakeFile("old.dsk", 3, 'o');
    ASSERT_EQ(chmod(target.c_str(), 0640), 0);
    const std::string fresh = platform::SiblingTemporaryName(target, 0);
    EXPECT_EQ(fs::path(fresh).parent_path(), m_dir);
    platform::FileHandle file = platform::CreateNewFile(fresh);
    ASSERT_NE(file, nullptr);
    ASSERT_TRUE(platform::WriteFile(file, "new", 3));
    std::size_t got = 1;
    std::uint64_t position = 0;
    ASSERT_TRUE(platform::SeekFile(file, 0, platform::SeekOrigin::End, position));
    EXPECT_EQ(position, 3u);
    platform::CloseFile(file);
    ASSERT_TRUE(platform::ReplaceFile(fresh, target));
    struct stat status {};
    ASSERT_EQ(stat(target.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
    EXPECT_FALSE(platform::PathExists(fresh));

    platform::FileHandle reader = platform::OpenForReading(target);
    char bytes[8];
    ASSERT_TRUE(platform::ReadFile(reader, bytes, sizeof bytes, got));
    EXPECT_EQ(std::string(bytes, got), "new");
    ASSERT_TRUE(platform::ReadFile(reader, bytes, sizeof bytes, got));
    EXPECT_EQ(got, 0u);  // the end is no failure
    platform::CloseFile(reader);
}

}  // namespace
