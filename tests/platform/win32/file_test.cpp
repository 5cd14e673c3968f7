#include "platform/file.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/file_names.h"
#include "platform/last_error.h"
#include "platform/win32/win32_api.h"

namespace {

namespace fs = std::filesystem;

class FileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_folder = fs::temp_directory_path() /
                   ("mv-file-test-" + std::to_string(GetCurrentProcessId()) + "-" +
                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_folder);
        ASSERT_TRUE(fs::create_directory(m_folder));
    }

    void TearDown() override
    {
        for (platform::FileHandle file : m_open)
            platform::CloseFile(file);
        std::error_code ignored;
        fs::remove_all(m_folder, ignored);
    }

    std::string PathOf(const std::string& name) const { return (m_folder / name).string(); }

    // Keeps the handle so that it is closed even when a check fails.
    platform::FileHandle Keep(platform::FileHandle file)
    {
        if (file != nullptr)
            m_open.push_back(file);
        return file;
    }

    void Close(platform::FileHandle file)
    {
        std::erase(m_open, file);
        EXPECT_TRUE(platform::CloseFile(file));
    }

    void MakeFile(const std::string& path, const std::string& bytes)
    {
        std::ofstream(path, std::ios::binary) << bytes;
    }

    static std::string ContentOf(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    fs::path m_folder;
    std::vector<platform::FileHandle> m_open;
};

TEST_F(FileTest, WritesBytesUnchangedAndReadsThemBackUntilTheEnd)
{
    const std::string path = PathOf("image.dsk");
    const std::string bytes("line\nnext\r\n\0\x1a end", 17);
    platform::FileHandle out = Keep(platform::CreateNewFile(path));
    ASSERT_NE(out, nullptr) << platform::GetLastErrorCode();
    ASSERT_TRUE(platform::WriteFile(out, bytes.data(), bytes.size()));
    EXPECT_TRUE(platform::SyncFile(out));
    std::uint64_t length = 0;
    ASSERT_TRUE(platform::GetFileLength(out, length));
    EXPECT_EQ(length, bytes.size());
    Close(out);

    platform::FileHandle in = Keep(platform::OpenForReading(path));
    ASSERT_NE(in, nullptr) << platform::GetLastErrorCode();
    std::string back(64, '-');
    std::size_t got = 0;
    ASSERT_TRUE(platform::ReadFile(in, back.data(), back.size(), got));
    EXPECT_EQ(back.substr(0, got), bytes);
    ASSERT_TRUE(platform::ReadFile(in, back.data(), back.size(), got));
    EXPECT_EQ(got, 0u) << "a read at the end moves nothing and is no failure";
}

TEST_F(FileTest, SeeksFromEachOrigin)
{
    const std::string path = PathOf("ten.bin");
    MakeFile(path, "0123456789");
    platform::FileHandle in = Keep(platform::OpenForReading(path));
    ASSERT_NE(in, nullptr);

    struct Case {
        std::int64_t offset;
        platform::SeekOrigin origin;
        std::uint64_t position;
        char next;
    };
    const Case cases[] = {
        {4, platform::SeekOrigin::Begin, 4, '4'},
        {2, platform::SeekOrigin::Current, 7, '7'},  // after reading '4' the position is 5
        {-3, platform::SeekOrigin::End, 7, '7'},
        {-8, platform::SeekOrigin::Current, 0, '0'},
    };
    for (const Case& c : cases) {
        std::uint64_t position = 99;
        ASSERT_TRUE(platform::SeekFile(in, c.offset, c.origin, position)) << c.offset;
        EXPECT_EQ(position, c.position) << c.offset;
        char next = 0;
        std::size_t got = 0;
        ASSERT_TRUE(platform::ReadFile(in, &next, 1, got));
        EXPECT_EQ(got, 1u);
        EXPECT_EQ(next, c.next) << c.offset;
    }
    std::uint64_t position = 0;
    EXPECT_FALSE(platform::SeekFile(in, -1, platform::SeekOrigin::Begin, position));
}

TEST_F(FileTest, CreateNewFileRefusesAnExistingFile)
{
    const std::string path = PathOf("old.dsk");
    MakeFile(path, "keep me");
    EXPECT_EQ(Keep(platform::CreateNewFile(path)), nullptr);
    EXPECT_EQ(platform::GetLastErrorCode(), static_cast<std::uint32_t>(ERROR_FILE_EXISTS));
    EXPECT_EQ(ContentOf(path), "keep me");
}

TEST_F(FileTest, OpeningAMissingFileFailsWithItsCause)
{
    EXPECT_EQ(Keep(platform::OpenForReading(PathOf("missing.dsk"))), nullptr);
    EXPECT_EQ(platform::GetLastErrorCode(), static_cast<std::uint32_t>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(Keep(platform::OpenExistingForWriting(PathOf("missing.dsk"))), nullptr);
    EXPECT_EQ(platform::GetLastErrorCode(), static_cast<std::uint32_t>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(platform::PathExists(PathOf("missing.dsk")));
}

TEST_F(FileTest, OpenExistingForWritingKeepsTheContent)
{
    const std::string path = PathOf("old.dsk");
    MakeFile(path, "keep me");
    platform::FileHandle probe = Keep(platform::OpenExistingForWriting(path));
    ASSERT_NE(probe, nullptr) << platform::GetLastErrorCode();
    Close(probe);
    EXPECT_EQ(ContentOf(path), "keep me");
}

// Readers share with readers; a writer excludes readers and readers exclude writers.
TEST_F(FileTest, SharingFollowsTheModesOfEachOpen)
{
    struct Case {
        const char* name;
        platform::FileHandle (*first)(const std::string&);
        platform::FileHandle (*second)(const std::string&);
        bool secondOpens;
    };
    const Case cases[] = {
        {"reader, reader", platform::OpenForReading, platform::OpenForReading, true},
        {"reader, writer", platform::OpenForReading, platform::OpenExistingForWriting, false},
        {"writer, reader", platform::OpenExistingForWriting, platform::OpenForReading, false},
    };
    const std::string path = PathOf("shared.dsk");
    MakeFile(path, "data");
    for (const Case& c : cases) {
        platform::FileHandle first = Keep(c.first(path));
        ASSERT_NE(first, nullptr) << c.name;
        platform::FileHandle second = Keep(c.second(path));
        EXPECT_EQ(second != nullptr, c.secondOpens) << c.name;
        if (second == nullptr)
            EXPECT_EQ(platform::GetLastErrorCode(), static_cast<std::uint32_t>(ERROR_SHARING_VIOLATION))
                << c.name;
        else
            Close(second);
        Close(first);
    }
}

TEST_F(FileTest, ANewFileCannotBeReadWhileItIsBeingWritten)
{
    const std::string path = PathOf("new.dsk");
    platform::FileHandle out = Keep(platform::CreateNewFile(path));
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(Keep(platform::OpenForReading(path)), nullptr);
    EXPECT_EQ(platform::GetLastErrorCode(), static_cast<std::uint32_t>(ERROR_SHARING_VIOLATION));
}

TEST_F(FileTest, ReplaceFileMovesTheNewFileOverTheTarget)
{
    for (const bool targetExists : {true, false}) {
        const std::string target = PathOf(targetExists ? "old.dsk" : "fresh.dsk");
        if (targetExists)
            MakeFile(target, "old image");
        std::string partial;
        platform::FileHandle file = Keep(platform::CreateTemporaryBeside(target, partial));
        ASSERT_NE(file, nullptr) << platform::GetLastErrorCode();
        ASSERT_TRUE(platform::WriteFile(file, "new image", 9));
        Close(file);

        ASSERT_TRUE(platform::ReplaceFile(partial, target)) << platform::GetLastErrorCode();
        EXPECT_EQ(ContentOf(target), "new image");
        EXPECT_FALSE(platform::PathExists(partial));
    }
}

TEST_F(FileTest, ReplaceFileFailsWhileTheTargetIsOpen)
{
    const std::string target = PathOf("busy.dsk");
    MakeFile(target, "old image");
    std::string partial;
    platform::FileHandle file = Keep(platform::CreateTemporaryBeside(target, partial));
    ASSERT_NE(file, nullptr);
    Close(file);
    platform::FileHandle reader = Keep(platform::OpenForReading(target));
    ASSERT_NE(reader, nullptr);

    EXPECT_FALSE(platform::ReplaceFile(partial, target));
    Close(reader);
    EXPECT_EQ(ContentOf(target), "old image");
    EXPECT_TRUE(platform::PathExists(partial));
}

// Short names fit beside a target whose name is as long as names may be.
TEST_F(FileTest, TemporaryFilesStayBesideTheTargetAndDiffer)
{
    const std::string target = PathOf(std::string(200, 'n') + ".dsk");
    std::string first;
    std::string second;
    ASSERT_NE(Keep(platform::CreateTemporaryBeside(target, first)), nullptr);
    ASSERT_NE(Keep(platform::CreateTemporaryBeside(target, second)), nullptr);
    EXPECT_NE(first, second);
    for (const std::string& name : {first, second}) {
        EXPECT_EQ(fs::path(name).parent_path(), fs::path(target).parent_path()) << name;
        EXPECT_LE(fs::path(name).filename().string().size(), 9u) << name;
    }
    EXPECT_EQ(Keep(platform::OpenForReading("NUL")), nullptr) << "a device is no image file";
}

TEST_F(FileTest, RemoveFileRemovesOnlyWhatExists)
{
    const std::string path = PathOf("gone.dsk");
    MakeFile(path, "x");
    EXPECT_TRUE(platform::PathExists(path));
    EXPECT_TRUE(platform::PathExists(m_folder.string())) << "a folder exists too";
    EXPECT_TRUE(platform::RemoveFile(path));
    EXPECT_FALSE(platform::PathExists(path));
    EXPECT_FALSE(platform::RemoveFile(path));
    EXPECT_EQ(platform::GetLastErrorCode(), static_cast<std::uint32_t>(ERROR_FILE_NOT_FOUND));
}

}  // namespace
