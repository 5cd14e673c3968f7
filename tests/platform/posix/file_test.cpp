#include "platform/file.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "platform/file_names.h"
#include "platform/last_error.h"
#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

using ImageFiles = TempFolder;

std::uint32_t Code(int error)
{
    return static_cast<std::uint32_t>(error);
}

TEST_F(ImageFiles, LocksMirrorTheShareModes)
{
    const std::string path = MakeFile("image.dsk", 10);
    EXPECT_EQ(platform::CreateNewFile(path), nullptr);  // never over an existing file
    EXPECT_EQ(platform::GetLastErrorCode(), Code(EEXIST));

    platform::FileHandle reader = platform::OpenForReading(path);
    platform::FileHandle second = platform::OpenForReading(path);
    ASSERT_NE(reader, nullptr);
    EXPECT_NE(second, nullptr);  // readers share
    EXPECT_EQ(platform::OpenExistingForWriting(path), nullptr);  // a writer must wait
    EXPECT_EQ(platform::GetLastErrorCode(), Code(EWOULDBLOCK));
    platform::CloseFile(reader);
    platform::CloseFile(second);

    platform::FileHandle writer = platform::OpenExistingForWriting(path);
    ASSERT_NE(writer, nullptr);
    EXPECT_EQ(platform::OpenForReading(path), nullptr);  // nobody reads a file being replaced
    EXPECT_EQ(platform::OpenExistingForWriting(path), nullptr);
    platform::CloseFile(writer);

    // A file being created is as private as one being replaced.
    const std::string fresh = (m_folder / "fresh.dsk").string();
    platform::FileHandle created = platform::CreateNewFile(fresh);
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(platform::OpenForReading(fresh), nullptr);
    platform::CloseFile(created);
    platform::FileHandle afterwards = platform::OpenForReading(fresh);
    EXPECT_NE(afterwards, nullptr);
    platform::CloseFile(afterwards);
}

TEST_F(ImageFiles, OpeningForWritingNeitherTruncatesNorCreates)
{
    const std::string path = MakeFile("keep.dsk", 7, 'k');
    platform::FileHandle file = platform::OpenExistingForWriting(path);
    ASSERT_NE(file, nullptr);
    platform::CloseFile(file);
    EXPECT_EQ(fs::file_size(path), 7u);

    EXPECT_EQ(platform::OpenExistingForWriting((m_folder / "absent.dsk").string()), nullptr);
    EXPECT_EQ(platform::GetLastErrorCode(), Code(ENOENT));
    EXPECT_FALSE(platform::PathExists((m_folder / "absent.dsk").string()));
}

TEST_F(ImageFiles, FoldersAreRefusedAndReplacingKeepsThePermissions)
{
    EXPECT_EQ(platform::OpenForReading(m_folder.string()), nullptr);
    EXPECT_EQ(platform::GetLastErrorCode(), Code(EISDIR));
    EXPECT_EQ(platform::OpenExistingForWriting(m_folder.string()), nullptr);
    EXPECT_EQ(platform::GetLastErrorCode(), Code(EISDIR));

    const std::string target = MakeFile("old.dsk", 3, 'o');
    ASSERT_EQ(chmod(target.c_str(), 0640), 0);
    std::string fresh;
    platform::FileHandle file = platform::CreateTemporaryBeside(target, fresh);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(fs::path(fresh).parent_path(), m_folder);
    EXPECT_EQ(fs::path(fresh).filename().string().size(), 9u);  // fits beside any name
    struct stat status {};
    ASSERT_EQ(stat(fresh.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0600u);  // private while it is written
    EXPECT_EQ(platform::OpenForReading(fresh), nullptr);
    platform::FileHandle old = platform::OpenExistingForWriting(target);
    ASSERT_NE(old, nullptr);
    EXPECT_TRUE(platform::TakeAccessOf(file, old));
    platform::CloseFile(old);
    ASSERT_TRUE(platform::WriteFile(file, "new", 3));
    std::size_t got = 1;
    std::uint64_t position = 0;
    ASSERT_TRUE(platform::SeekFile(file, 0, platform::SeekOrigin::End, position));
    EXPECT_EQ(position, 3u);
    ASSERT_TRUE(platform::SyncFile(file));
    ASSERT_TRUE(platform::CloseFile(file));
    ASSERT_TRUE(platform::ReplaceFile(fresh, target));
    ASSERT_EQ(stat(target.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
    EXPECT_FALSE(platform::PathExists(fresh));

    platform::FileHandle reader = platform::OpenForReading(target);
    ASSERT_NE(reader, nullptr);
    char bytes[8];
    ASSERT_TRUE(platform::ReadFile(reader, bytes, sizeof bytes, got));
    EXPECT_EQ(std::string(bytes, got), "new");
    ASSERT_TRUE(platform::ReadFile(reader, bytes, sizeof bytes, got));
    EXPECT_EQ(got, 0u);  // the end is no failure
    platform::CloseFile(reader);
}

TEST_F(ImageFiles, ReplacingNothingJustMovesTheFile)
{
    const std::string from = MakeFile("made.partial", 2, 'm');
    ASSERT_EQ(chmod(from.c_str(), 0604), 0);
    const std::string to = (m_folder / "image.dsk").string();
    ASSERT_TRUE(platform::ReplaceFile(from, to));
    struct stat status {};
    ASSERT_EQ(stat(to.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0604u);
    EXPECT_TRUE(platform::RemoveFile(to));
    EXPECT_FALSE(platform::PathExists(to));
    EXPECT_FALSE(platform::RemoveFile(to));
    EXPECT_EQ(platform::GetLastErrorCode(), Code(ENOENT));
}

TEST_F(ImageFiles, PositionsAndLengthsAreSixtyFourBits)
{
    const std::string path = (m_folder / "big.dsk").string();
    platform::FileHandle file = platform::CreateNewFile(path);
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
    platform::CloseFile(file);
}

// Writing to a full medium is checked end to end on a small file system; a
// device is no image file and is not even opened.
TEST(ImageFileErrors, DevicesAreRefused)
{
    EXPECT_EQ(platform::OpenExistingForWriting("/dev/full"), nullptr);
    EXPECT_EQ(platform::GetLastErrorCode(), Code(EINVAL));
    EXPECT_EQ(platform::OpenForReading("/dev/zero"), nullptr);
}

}  // namespace
