// The raw volume over a real block device: a loop device stands in for a USB
// floppy drive (no floppy driver behind it, O_DIRECT transfers, size from the
// device). Needs root for the loop devices; skipped otherwise.
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/last_error.h"
#include "platform/posix/volume.h"
#include "tests/support/temp_folder.h"

namespace {

std::string RunForLine(const std::string& command)
{
    std::string line;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        if (std::fgets(buffer, sizeof buffer, pipe) != nullptr)
            line = buffer;
        pclose(pipe);
    }
    while (!line.empty() && line.back() == '\n')
        line.pop_back();
    return line;
}

class BlockDeviceVolume : public TempFolder {
protected:
    void TearDown() override
    {
        for (const std::string& loop : m_loops)
            std::system(("losetup -d " + loop).c_str());
    }

    // A loop device over a new file whose sector n holds the byte 'a' + n % 26.
    std::string Attach(std::size_t size, bool readOnly = false)
    {
        std::string bytes(size, 0);
        for (std::size_t i = 0; i < size; ++i)
            bytes[i] = static_cast<char>('a' + i / 512 % 26);
        const std::string file = MakeFile("disk" + std::to_string(m_loops.size()), bytes);
        const std::string loop =
            RunForLine("losetup -f --show " + std::string(readOnly ? "-r " : "") + file + " 2>/dev/null");
        if (!loop.empty())
            m_loops.push_back(loop);
        m_file = file;
        return loop;
    }

    std::vector<std::string> m_loops;
    std::string m_file;
};

#define ATTACH_OR_SKIP(var, ...)                                           \
    const std::string var = Attach(__VA_ARGS__);                           \
    if (geteuid() != 0 || var.empty())                                     \
    GTEST_SKIP() << "loop devices need root"

TEST_F(BlockDeviceVolume, SizeGivesTheGeometryAndSectorsGoStraightToTheDevice)
{
    ATTACH_OR_SKIP(loop, 737280);
    platform::VolumeHandle volume = platform::OpenVolumePath(loop);
    ASSERT_NE(volume, nullptr) << platform::GetLastErrorCode();
    DiskGeometry g;
    ASSERT_TRUE(platform::GetVolumeGeometry(volume, g)) << platform::GetLastErrorCode();
    EXPECT_EQ(std::vector<std::uint32_t>({g.BytesPerSector, g.SectorsPerTrack, g.TracksPerCylinder, g.Cylinders, g.MediaType}),
              std::vector<std::uint32_t>({512, 9, 2, 80, 5}));

    // The caller's buffers need no alignment of their own.
    std::vector<char> storage(513);
    char* unaligned = storage.data() + 1;
    ASSERT_TRUE(platform::ReadVolume(volume, 3 * 512, unaligned, 512));
    EXPECT_EQ(std::string(unaligned, 512), std::string(512, 'd'));
    ASSERT_TRUE(platform::ReadVolume(volume, 1439 * 512, unaligned, 512));
    EXPECT_EQ(std::string(unaligned, 512), std::string(512, 'a' + 1439 % 26));

    std::fill(unaligned, unaligned + 512, 'W');
    ASSERT_TRUE(platform::WriteVolume(volume, 5 * 512, unaligned, 512));
    // Past the end of the medium only half a sector of two is there.
    std::vector<char> two(1024);
    EXPECT_FALSE(platform::ReadVolume(volume, 1439 * 512, two.data(), 1024));
    EXPECT_EQ(platform::GetLastErrorCode(), static_cast<std::uint32_t>(EIO));
    ASSERT_TRUE(platform::CloseVolume(volume));

    const std::string bytes = ContentOf(m_file);
    EXPECT_EQ(bytes.substr(5 * 512, 512), std::string(512, 'W'));
    EXPECT_EQ(bytes.substr(4 * 512, 512), std::string(512, 'e'));
    EXPECT_EQ(bytes.substr(6 * 512, 512), std::string(512, 'g'));
}

TEST_F(BlockDeviceVolume, AWriteProtectedMediumIsReadButNeverWritten)
{
    ATTACH_OR_SKIP(loop, 1474560, true);
    platform::VolumeHandle volume = platform::OpenVolumePath(loop);
    ASSERT_NE(volume, nullptr) << platform::GetLastErrorCode();
    std::vector<char> sector(512);
    ASSERT_TRUE(platform::ReadVolume(volume, 2 * 512, sector.data(), 512));
    EXPECT_EQ(std::string(sector.begin(), sector.end()), std::string(512, 'c'));
    EXPECT_FALSE(platform::WriteVolume(volume, 2 * 512, sector.data(), 512));
    EXPECT_EQ(platform::GetLastErrorCode(), static_cast<std::uint32_t>(EROFS));
    EXPECT_TRUE(platform::IsWholeMediumError(platform::GetLastErrorCode()));
    EXPECT_TRUE(platform::CloseVolume(volume));
}

// The kernel lets writes through to a mounted medium, whose file system would
// then overwrite them: while another holds the device exclusively, as a mount
// does, nothing is written; once it lets go, the write goes through.
TEST_F(BlockDeviceVolume, AMediumInUseIsNotWritten)
{
    ATTACH_OR_SKIP(loop, 1474560);
    const int holder = open(loop.c_str(), O_RDONLY | O_EXCL | O_CLOEXEC);
    ASSERT_GE(holder, 0);
    platform::VolumeHandle volume = platform::OpenVolumePath(loop);
    ASSERT_NE(volume, nullptr) << platform::GetLastErrorCode();
    const std::vector<char> sector(512, 'M');
    EXPECT_FALSE(platform::WriteVolume(volume, 0, sector.data(), 512));
    EXPECT_EQ(platform::GetLastErrorCode(), static_cast<std::uint32_t>(EBUSY));
    close(holder);
    EXPECT_TRUE(platform::WriteVolume(volume, 0, sector.data(), 512)) << platform::GetLastErrorCode();
    EXPECT_TRUE(platform::CloseVolume(volume));
    EXPECT_EQ(ContentOf(m_file).substr(0, 512), std::string(512, 'M'));
}

// The descriptor of `path` among this process's open files; -1 when none.
int DescriptorOf(const std::string& path)
{
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        if (std::filesystem::read_symlink(entry.path(), error) == path)
            return std::stoi(entry.path().filename().string());
    }
    return -1;
}

// Linux releases a descriptor even when its close fails; the next file opened
// may get its number, and closing the volume again must not close that file.
TEST_F(BlockDeviceVolume, AFailedCloseNeverClosesTheDescriptorAgain)
{
    ATTACH_OR_SKIP(loop, 1474560, true);  // write-protected: nothing to flush first
    platform::VolumeHandle volume = platform::OpenVolumePath(loop);
    ASSERT_NE(volume, nullptr) << platform::GetLastErrorCode();
    const int descriptor = DescriptorOf(loop);
    ASSERT_GE(descriptor, 0);
    ASSERT_EQ(close(descriptor), 0);  // gone, as a failed close leaves it

    EXPECT_FALSE(platform::CloseVolume(volume));
    const int other = open(m_file.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(other, 0);
    if (other != descriptor) {
        close(other);
        GTEST_SKIP() << "the number went elsewhere";
    }
    EXPECT_TRUE(platform::CloseVolume(volume));  // the device's destructor tries again
    EXPECT_NE(fcntl(other, F_GETFD), -1) << "the other file was closed";
    close(other);
}

TEST_F(BlockDeviceVolume, ADeviceOfNoFloppySizeIsAWrongMediumType)
{
    ATTACH_OR_SKIP(loop, 1 << 20);
    platform::VolumeHandle volume = platform::OpenVolumePath(loop);
    ASSERT_NE(volume, nullptr);
    DiskGeometry g;
    g.MediaType = 99;
    EXPECT_FALSE(platform::GetVolumeGeometry(volume, g));
    EXPECT_EQ(platform::GetLastErrorCode(), static_cast<std::uint32_t>(EMEDIUMTYPE));
    EXPECT_EQ(g.MediaType, 99u);  // untouched on failure
    EXPECT_TRUE(platform::CloseVolume(volume));
}

}  // namespace
