#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "formats/floppy_layouts.h"
#include "platform/last_error.h"
#include "platform/posix/volume.h"
#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

using PlainFileVolume = TempFolder;

TEST_F(PlainFileVolume, GeometryComesFromTheStandardCapacities)
{
    struct Case {
        std::size_t size;
        DiskGeometry geometry;
    };
    for (const Case& c : {Case{163840, {512, 8, 1, 40, 10}}, Case{184320, {512, 9, 1, 40, 9}},
                          Case{327680, {512, 8, 2, 40, 7}}, Case{368640, {512, 9, 2, 40, 6}},
                          Case{737280, {512, 9, 2, 80, 5}}, Case{1228800, {512, 15, 2, 80, 17}},
                          Case{1261568, {1024, 8, 2, 77, 18}}, Case{1474560, {512, 18, 2, 80, 2}},
                          Case{2949120, {512, 36, 2, 80, 3}}}) {
        platform::VolumeHandle volume = platform::OpenVolumePath(MakeFile("disk", c.size));
        ASSERT_NE(volume, nullptr) << c.size;
        DiskGeometry g;
        ASSERT_TRUE(platform::GetVolumeGeometry(volume, g)) << c.size;
        EXPECT_EQ(std::vector<std::uint32_t>({g.BytesPerSector, g.SectorsPerTrack, g.TracksPerCylinder, g.Cylinders, g.MediaType}),
                  std::vector<std::uint32_t>({c.geometry.BytesPerSector, c.geometry.SectorsPerTrack,
                                              c.geometry.TracksPerCylinder, c.geometry.Cylinders, c.geometry.MediaType}));
        EXPECT_TRUE(platform::CloseVolume(volume));
    }
}

TEST_F(PlainFileVolume, AnOddSizeIsAWrongMediumType)
{
    platform::VolumeHandle volume = platform::OpenVolumePath(MakeFile("odd", 1474561));
    ASSERT_NE(volume, nullptr);
    DiskGeometry g;
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
    EXPECT_EQ(platform::OpenVolumePath((m_folder / "none").string()), nullptr);
    EXPECT_EQ(platform::GetLastErrorCode(), static_cast<std::uint32_t>(ENOENT));
    EXPECT_EQ(platform::NormaliseMediumError(ENXIO), ENOMEDIUM);
    EXPECT_EQ(platform::NormaliseMediumError(EIO), EIO);
}

// Opens `file` through a read-only view of its folder, in a mount namespace
// of a child process of its own (root never meets EACCES on a plain file, but
// a read-only file system refuses it too). Returns the child's exit code: 0
// when the medium was read but refused the write with EROFS, 77 when no such
// view can be made here.
int ImageThroughReadOnlyView(const std::string& folder, const std::string& file)
{
    const pid_t child = fork();
    if (child == 0) {
        if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) != 0 ||
            mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0)
            _exit(77);
        platform::VolumeHandle volume = platform::OpenVolumePath(file);
        if (volume == nullptr)
            _exit(1);
        char sector[512];
        if (!platform::ReadVolume(volume, 512, sector, sizeof sector) || sector[0] != 'r')
            _exit(2);
        if (platform::WriteVolume(volume, 512, sector, sizeof sector))
            _exit(3);
        if (platform::GetLastErrorCode() != EROFS)
            _exit(4);
        _exit(platform::CloseVolume(volume) ? 0 : 5);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

TEST_F(PlainFileVolume, AReadOnlyMediumOpensForImagingAndRefusesWrites)
{
    const std::string file = MakeFile("protected", 1474560, 'r');
    const int outcome = ImageThroughReadOnlyView(m_folder.string(), file);
    if (outcome == 77)
        GTEST_SKIP() << "no private mount namespace here (needs root)";
    // 1: no read-only fallback; 2: cannot read; 3: wrote; 4: wrong error; 5: close failed.
    EXPECT_EQ(outcome, 0);
}

// A job that only reads never holds a writable drive open for writing.
TEST_F(PlainFileVolume, AReadingJobOpensAWritableDriveReadOnly)
{
    const std::string file = MakeFile("original", 1474560, 'o');
    for (const auto access : {platform::VolumeAccess::Read, platform::VolumeAccess::ReadWrite}) {
        platform::VolumeHandle volume = platform::OpenVolumePath(file, access);
        ASSERT_NE(volume, nullptr);
        const int mode = fcntl(platform::AsVolume(volume).descriptor, F_GETFL) & O_ACCMODE;
        EXPECT_EQ(mode, access == platform::VolumeAccess::Read ? O_RDONLY : O_RDWR);
        EXPECT_TRUE(platform::CloseVolume(volume));
    }
    platform::VolumeHandle volume = platform::OpenVolumePath(file, platform::VolumeAccess::Read);
    ASSERT_NE(volume, nullptr);
    const char sector[512] = {'w'};
    EXPECT_FALSE(platform::WriteVolume(volume, 0, sector, sizeof sector));
    EXPECT_EQ(platform::GetLastErrorCode(), static_cast<std::uint32_t>(EROFS));
    EXPECT_TRUE(platform::CloseVolume(volume));
}

TEST(FloppyLayouts, TheDriveDecidesBetweenThreeAndAHalfAndFiveAndAQuarterInchCodes)
{
    struct Case {
        DiskGeometry layout;
        std::uint32_t in35, in525;
    };
    for (const Case& c : {Case{{512, 15, 2, 80}, 17, 1}, Case{{512, 9, 2, 80}, 5, 16}, Case{{1024, 8, 2, 77}, 18, 19},
                          Case{{512, 18, 2, 80}, 2, 2}, Case{{512, 21, 2, 82}, 0, 0}}) {
        EXPECT_EQ(MediaTypeForLayout(c.layout, false), c.in35);
        EXPECT_EQ(MediaTypeForLayout(c.layout, true), c.in525);
    }
}

}  // namespace
