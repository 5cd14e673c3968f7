#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/last_error.h"
#include "platform/raw_volume.h"
#include "platform/win32/win32_api.h"

// Drive A: of a Wine prefix whose dosdevices/a:: links to a file: the real
// \\.\A: path, CreateFileA, DeviceIoControl and the transfers, with the file
// standing in for the medium. The test script names that file (as a Windows
// path) in MENDAROVEL_WINE_DRIVE_A; without it there is no such drive.
namespace {

constexpr std::uint32_t kSector = 512;
constexpr std::uint32_t kSectors = 2880;

class LinkedDriveTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* file = std::getenv("MENDAROVEL_WINE_DRIVE_A");
        if (file == nullptr || *file == '\0')
            GTEST_SKIP() << "MENDAROVEL_WINE_DRIVE_A names no file behind drive A:";
        m_file = file;
        // Only one test writes, so that tests run side by side see one medium.
        m_medium = MediumNow();
        ASSERT_EQ(m_medium.size(), kSector * kSectors) << m_file << " holds no 1.44 MB medium";
        m_volume = platform::OpenVolume('A', platform::VolumeAccess::ReadWrite);
        ASSERT_NE(m_volume, nullptr) << "\\\\.\\A: did not open: " << platform::GetLastErrorCode();
    }

    void TearDown() override
    {
        if (m_volume != nullptr) {
            EXPECT_TRUE(platform::CloseVolume(m_volume));
        }
    }

    std::string MediumNow() const
    {
        std::ifstream in(m_file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    // Sends a control code without buffers to the drive, through a handle of
    // the test's own opened as the volume's is; the error code is 0 on success.
    static DWORD Control(DWORD code)
    {
        const HANDLE drive = CreateFileA("\\\\.\\A:", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD returned = 0;
        SetLastError(NO_ERROR);
        const BOOL done = DeviceIoControl(drive, code, nullptr, 0, nullptr, 0, &returned, nullptr);
        const DWORD error = done ? NO_ERROR : GetLastError();
        CloseHandle(drive);
        return error;
    }

    std::string m_file;
    std::string m_medium;
    platform::VolumeHandle m_volume = nullptr;
};

// The answers the claim before the first write gets from Wine: the lock is
// granted, the dismount refused; the geometry is never known.
TEST_F(LinkedDriveTest, WineGrantsTheLockAndRefusesDismountAndGeometry)
{
    EXPECT_EQ(Control(FSCTL_LOCK_VOLUME), static_cast<DWORD>(NO_ERROR));
    EXPECT_EQ(Control(FSCTL_DISMOUNT_VOLUME), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

    DiskGeometry geometry;
    EXPECT_FALSE(platform::GetVolumeGeometry(m_volume, geometry));
    EXPECT_EQ(platform::GetLastErrorCode(), static_cast<std::uint32_t>(ERROR_NOT_SUPPORTED));
}

// Written sectors land at their place in the file behind the drive and
// nowhere else; the claim taken before the first transfer changes nothing.
TEST_F(LinkedDriveTest, WrittenSectorsLandInTheFileBehindTheDrive)
{
    struct Case {
        std::uint32_t sector;
        char fill;
    };
    const Case cases[] = {{0, 'W'}, {17, 'X'}, {kSectors - 1, 'Y'}};
    std::vector<char> readBack(kSector);
    std::string expected = m_medium;
    for (const Case& c : cases) {
        const std::vector<char> sector(kSector, c.fill);
        SetLastError(ERROR_CRC);
        ASSERT_TRUE(platform::WriteVolume(m_volume, c.sector * kSector, sector.data(), kSector))
            << c.sector << ": " << platform::GetLastErrorCode();
        expected.replace(c.sector * kSector, kSector, kSector, c.fill);
        ASSERT_TRUE(platform::ReadVolume(m_volume, c.sector * kSector, readBack.data(), kSector));
        EXPECT_EQ(readBack, sector) << c.sector;
    }
    EXPECT_TRUE(platform::CloseVolume(m_volume));
    m_volume = nullptr;
    const std::string now = MediumNow();
    ASSERT_EQ(now.size(), expected.size()) << "the medium keeps its size";
    EXPECT_TRUE(now == expected) << "only the written sectors changed";
}

TEST_F(LinkedDriveTest, ReadsTheSectorAtItsPlace)
{
    std::vector<char> sector(kSector);
    ASSERT_TRUE(platform::ReadVolume(m_volume, 3 * kSector, sector.data(), kSector))
        << platform::GetLastErrorCode();
    EXPECT_EQ(std::string(sector.data(), kSector), m_medium.substr(3 * kSector, kSector));
}

// A sector beyond the medium's end is no sector: the read moves nothing.
TEST_F(LinkedDriveTest, ReadingPastTheEndOfTheMediumFails)
{
    std::vector<char> sector(kSector);
    EXPECT_FALSE(platform::ReadVolume(m_volume, kSectors * kSector, sector.data(), kSector));
    EXPECT_EQ(platform::GetLastErrorCode(), static_cast<std::uint32_t>(ERROR_HANDLE_EOF));
}

}  // namespace
