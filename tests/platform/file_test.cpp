// The contract of the file calls, the same on both systems; what truly
// differs stays in posix/ and win32/ file_test.cpp.
#include "platform/file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/file_names.h"
#include "platform/last_error.h"
#include "tests/support/error_codes.h"
#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;
using platform::FileHandle;

class ImageFiles : public TempFolder {
protected:
    // Open files are closed even when a check fails, before the folder goes.
    void TearDown() override
    {
        for (FileHandle file : m_open)
            platform::CloseFile(file);
    }

    FileHandle Keep(FileHandle file)
    {
        if (file != nullptr)
            m_open.push_back(file);
        return file;
    }

    void Close(FileHandle file)
    {
        std::erase(m_open, file);
        EXPECT_TRUE(platform::CloseFile(file));
    }

    std::vector<FileHandle> m_open;
};

TEST_F(ImageFiles, WritesBytesUnchangedAndReadsThemBackUntilTheEnd)
{
    const std::string path = PathOf("image.dsk");
    const std::string bytes("line\nnext\r\n\0\x1a end", 17);
    FileHandle out = Keep(platform::CreateNewFile(path));
    ASSERT_NE(out, nullptr) << platform::GetLastErrorCode();
    ASSERT_TRUE(platform::WriteFile(out, bytes.data(), bytes.size()));
    EXPECT_TRUE(platform::SyncFile(out));
    std::uint64_t length = 0;
    ASSERT_TRUE(platform::GetFileLength(out, length));
    EXPECT_EQ(length, bytes.size());
    Close(out);

    FileHandle in = Keep(platform::OpenForReading(path));
    ASSERT_NE(in, nullptr) << platform::GetLastErrorCode();
    std::string back(64, '-');
    std::size_t got = 0;
    ASSERT_TRUE(platform::ReadFile(in, back.data(), back.size(), got));
    EXPECT_EQ(back.substr(0, got), bytes);
    ASSERT_TRUE(platform::ReadFile(in, back.data(), back.size(), got));
    EXPECT_EQ(got, 0u) << "a read at the end moves nothing and is no failure";
}

TEST_F(ImageFiles, SeeksFromEachOrigin)
{
    FileHandle in = Keep(platform::OpenForReading(MakeFile("ten.bin", "0123456789")));
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

TEST_F(ImageFiles, PositionsAndLengthsAreSixtyFourBits)
{
    FileHandle file = Keep(platform::CreateNewFile(PathOf("big.dsk")));
    ASSERT_NE(file, nullptr);
    const std::int64_t past4GiB = (std::int64_t{1} << 32) + 5;
    std::uint64_t position = 0;
    ASSERT_TRUE(platform::SeekFile(file, past4GiB, platform::SeekOrigin::Begin, position));
    EXPECT_EQ(position, static_cast<std::uint64_t>(past4GiB));
    ASSERT_TRUE(platform::WriteFile(file, "x", 1));  // sparse: no real space used
    ASSERT_TRUE(platform::SeekFile(file, -1, platform::SeekOrigin::Current, position));
    EXPECT_EQ(position, static_cast<std::uint64_t>(past4GiB));
    std::uint64_t length = 0;
    ASSERT_TRUE(platform::GetFileLength(file, length));
    EXPECT_EQ(length, static_cast<std::uint64_t>(past4GiB) + 1);
}

// Opening never creates, truncates or replaces: each open either finds the
// file as it is or fails with the cause.
TEST_F(ImageFiles, OpeningAnExistingFileLeavesItAsItIs)
{
    const std::string old = MakeFile("old.dsk", "keep me");
    EXPECT_EQ(Keep(platform::CreateNewFile(old)), nullptr);
    EXPECT_EQ(platform::GetLastErrorCode(), FileExistsErrorCode());
    FileHandle probe = Keep(platform::OpenExistingForWriting(old));
    ASSERT_NE(probe, nullptr) << platform::GetLastErrorCode();
    Close(probe);
    EXPECT_EQ(ContentOf(old), "keep me");
}

TEST_F(ImageFiles, OpeningAMissingFileFailsWithItsCauseAndCreatesNothing)
{
    const std::string missing = PathOf("missing.dsk");
    EXPECT_EQ(Keep(platform::OpenForReading(missing)), nullptr);
    EXPECT_EQ(platform::GetLastErrorCode(), FileNotFoundErrorCode());
    EXPECT_EQ(Keep(platform::OpenExistingForWriting(missing)), nullptr);
    EXPECT_EQ(platform::GetLastErrorCode(), FileNotFoundErrorCode());
    EXPECT_FALSE(platform::PathExists(missing));
}

// Image files are regular files: a folder or a device is refused.
TEST_F(ImageFiles, FoldersAndDevicesAreRefused)
{
    struct Case {
        std::string path;
        std::uint32_t error;
    };
    for (const Case& c : {Case{m_folder.string(), FolderErrorCode()}, Case{DevicePath(), DeviceErrorCode()}}) {
        EXPECT_EQ(Keep(platform::OpenForReading(c.path)), nullptr) << c.path;
        EXPECT_EQ(platform::GetLastErrorCode(), c.error) << c.path;
        EXPECT_EQ(Keep(platform::OpenExistingForWriting(c.path)), nullptr) << c.path;
        EXPECT_EQ(platform::GetLastErrorCode(), c.error) << c.path;
    }
}

// Readers share with readers; a writer excludes readers and readers exclude
// writers. A file being created is as private as one being replaced.
TEST_F(ImageFiles, SharingFollowsTheModesOfEachOpen)
{
    struct Case {
        const char* name;
        FileHandle (*first)(const std::string&);
        FileHandle (*second)(const std::string&);
        bool secondOpens;
    };
    const Case cases[] = {
        {"reader, reader", platform::OpenForReading, platform::OpenForReading, true},
        {"reader, writer", platform::OpenForReading, platform::OpenExistingForWriting, false},
        {"writer, reader", platform::OpenExistingForWriting, platform::OpenForReading, false},
        {"creator, reader", platform::CreateNewFile, platform::OpenForReading, false},
    };
    for (const Case& c : cases) {
        const std::string path = PathOf(std::string(c.name) + ".dsk");
        if (c.first != platform::CreateNewFile)
            MakeFile(path, "data");
        FileHandle first = Keep(c.first(path));
        ASSERT_NE(first, nullptr) << c.name;
        FileHandle second = Keep(c.second(path));
        EXPECT_EQ(second != nullptr, c.secondOpens) << c.name;
        if (second == nullptr)
            EXPECT_EQ(platform::GetLastErrorCode(), FileInUseErrorCode()) << c.name;
        else
            Close(second);
        Close(first);
        FileHandle afterwards = Keep(platform::OpenForReading(path));
        EXPECT_NE(afterwards, nullptr) << c.name;
        Close(afterwards);
    }
}

TEST_F(ImageFiles, ReplaceFileMovesTheNewFileOverTheTarget)
{
    for (const bool targetExists : {true, false}) {
        const std::string target = PathOf(targetExists ? "old.dsk" : "fresh.dsk");
        if (targetExists)
            MakeFile(target, "old image");
        std::string partial;
        FileHandle file = Keep(platform::CreateTemporaryBeside(target, partial));
        ASSERT_NE(file, nullptr) << platform::GetLastErrorCode();
        ASSERT_TRUE(platform::WriteFile(file, "new image", 9));
        Close(file);

        ASSERT_TRUE(platform::ReplaceFile(partial, target)) << platform::GetLastErrorCode();
        EXPECT_EQ(ContentOf(target), "new image");
        EXPECT_FALSE(platform::PathExists(partial));
    }
}

// Short names fit beside a target whose name is as long as names may be.
TEST_F(ImageFiles, TemporaryFilesStayBesideTheTargetAndDiffer)
{
    const std::string target = PathOf(std::string(200, 'n') + ".dsk");
    std::string first;
    std::string second;
    ASSERT_NE(Keep(platform::CreateTemporaryBeside(target, first)), nullptr);
    ASSERT_NE(Keep(platform::CreateTemporaryBeside(target, second)), nullptr);
    EXPECT_NE(first, second);
    for (const std::string& name : {first, second}) {
        EXPECT_EQ(fs::path(name).parent_path(), m_folder) << name;
        EXPECT_EQ(fs::path(name).filename().string().size(), 9u) << name;
        EXPECT_EQ(Keep(platform::OpenForReading(name)), nullptr) << name << " is private while it is written";
    }
}

TEST_F(ImageFiles, RemoveFileRemovesOnlyWhatExists)
{
    const std::string path = MakeFile("gone.dsk", "x");
    EXPECT_TRUE(platform::PathExists(path));
    EXPECT_TRUE(platform::PathExists(m_folder.string())) << "a folder exists too";
    EXPECT_TRUE(platform::RemoveFile(path));
    EXPECT_FALSE(platform::PathExists(path));
    EXPECT_FALSE(platform::RemoveFile(path));
    EXPECT_EQ(platform::GetLastErrorCode(), FileNotFoundErrorCode());
}

}  // namespace
