#include "platform/raw_volume.h"

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/last_error.h"
#include "platform/win32/adopt_volume.h"
#include "platform/win32/win32_api.h"
#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

// A plain file opened as the volume would be: the transfers are the same calls.
class RawVolumeOnFileTest : public TempFolder {
protected:
    static constexpr std::uint32_t kSector = 512;

    void SetUp() override
    {
        std::string bytes(4 * kSector, '\0');
        for (std::size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<char>(i / kSector + 'a');
        m_path = MakeFile("volume.img", bytes);
        const HANDLE file = CreateFileA(m_path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        m_volume = platform::AdoptVolume(file);
        ASSERT_NE(m_volume, nullptr);
    }

    void TearDown() override
    {
        if (m_volume != nullptr)
            platform::CloseVolume(m_volume);
    }

    std::string m_path;
    platform::VolumeHandle m_volume = nullptr;
};

TEST_F(RawVolumeOnFileTest, TransfersTheSectorAtItsOffset)
{
    std::vector<char> sector(kSector);
    ASSERT_TRUE(platform::ReadVolume(m_volume, 2 * kSector, sector.data(), kSector));
    EXPECT_EQ(sector.front(), 'c');
    EXPECT_EQ(sector.back(), 'c');

    const std::vector<char> written(kSector, 'W');
    ASSERT_TRUE(platform::WriteVolume(m_volume, kSector, written.data(), kSector));
    ASSERT_TRUE(platform::ReadVolume(m_volume, kSector, sector.data(), kSector));
    EXPECT_EQ(sector, written);
    ASSERT_TRUE(platform::ReadVolume(m_volume, 0, sector.data(), kSector));
    EXPECT_EQ(sector.back(), 'a') << "the seek goes from the start, not from the last transfer";
}

TEST_F(RawVolumeOnFileTest, AShortReadFails)
{
    std::vector<char> sector(kSector);
    for (const std::uint32_t offset : {4 * kSector, 3 * kSector + 100}) {
        SetLastError(NO_ERROR);
        EXPECT_FALSE(platform::ReadVolume(m_volume, offset, sector.data(), kSector)) << offset;
        EXPECT_EQ(platform::GetLastErrorCode(), static_cast<std::uint32_t>(ERROR_HANDLE_EOF)) << offset;
    }
}

TEST_F(RawVolumeOnFileTest, AnOffsetBeyondTheSignedSeekRangeFails)
{
    std::vector<char> sector(kSector, 'x');
    EXPECT_FALSE(platform::ReadVolume(m_volume, 0x80000000u, sector.data(), kSector));
    EXPECT_NE(platform::GetLastErrorCode(), 0u);
    EXPECT_FALSE(platform::WriteVolume(m_volume, 0xFFFFFE00u, sector.data(), kSector));
    EXPECT_NE(platform::GetLastErrorCode(), 0u);
    std::uint64_t length = fs::file_size(m_path);
    EXPECT_EQ(length, 4 * kSector) << "nothing was written anywhere";
}

TEST_F(RawVolumeOnFileTest, APlainFileHasNoDriveGeometry)
{
    DiskGeometry geometry;
    geometry.BytesPerSector = 77;
    EXPECT_FALSE(platform::GetVolumeGeometry(m_volume, geometry));
    EXPECT_NE(platform::GetLastErrorCode(), 0u);
    EXPECT_EQ(geometry.BytesPerSector, 77u) << "left untouched on failure";
}

TEST(RawVolumeTest, EveryCallOnAnInvalidHandleFails)
{
    // Adopted, never closed: a volume whose close fails stays as it was.
    const platform::VolumeHandle noHandle = platform::AdoptVolume(nullptr);
    for (platform::VolumeHandle handle : {noHandle, platform::AdoptVolume(INVALID_HANDLE_VALUE)}) {
        char sector[512] = {};
        DiskGeometry geometry;
        geometry.Cylinders = 5;
        EXPECT_FALSE(platform::GetVolumeGeometry(handle, geometry));
        EXPECT_EQ(geometry.Cylinders, 5u);
        EXPECT_FALSE(platform::ReadVolume(handle, 0, sector, sizeof sector));
        EXPECT_NE(platform::GetLastErrorCode(), 0u);
        EXPECT_FALSE(platform::WriteVolume(handle, 0, sector, sizeof sector));
        EXPECT_NE(platform::GetLastErrorCode(), 0u);
    }
    EXPECT_FALSE(platform::CloseVolume(noHandle));
}

TEST(RawVolumeTest, ADriveThatIsNotThereDoesNotOpen)
{
    // The letter goes into the device path unchanged; one that names no
    // drive must fail rather than reach some other volume.
    platform::VolumeHandle handle = platform::OpenVolume('Q', platform::VolumeAccess::ReadWrite);
    if (handle != nullptr)
        platform::CloseVolume(handle);
    EXPECT_EQ(handle, nullptr);
    EXPECT_NE(platform::GetLastErrorCode(), 0u);
}

}  // namespace
