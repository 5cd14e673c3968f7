// What the file calls do here and not on Windows: the locks' writers exclude
// each other, and permissions are the file's own.
#include "platform/file.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/file_names.h"
#include "platform/last_error.h"
#include "tests/support/error_codes.h"
#include "tests/support/temp_folder.h"

namespace {

using PosixImageFiles = TempFolder;

mode_t ModeOf(const std::string& path)
{
    struct stat status {};
    EXPECT_EQ(stat(path.c_str(), &status), 0) << path;
    return status.st_mode & 07777;
}

TEST_F(PosixImageFiles, AWriterExcludesAnotherWriter)
{
    const std::string path = MakeFile("image.dsk", 10);
    platform::FileHandle writer = platform::OpenExistingForWriting(path);
    ASSERT_NE(writer, nullptr);
    EXPECT_EQ(platform::OpenExistingForWriting(path), nullptr);
    EXPECT_EQ(platform::GetLastErrorCode(), FileInUseErrorCode());
    platform::CloseFile(writer);
}

// The new file is private while it is written and takes the permissions of
// the file it replaces; moved where nothing was, it keeps its own.
TEST_F(PosixImageFiles, ReplacingKeepsThePermissions)
{
    const std::string target = MakeFile("old.dsk", 3, 'o');
    ASSERT_EQ(chmod(target.c_str(), 0640), 0);
    std::string fresh;
    platform::FileHandle file = platform::CreateTemporaryBeside(target, fresh);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(ModeOf(fresh), 0600u);
    platform::FileHandle old = platform::OpenExistingForWriting(target);
    ASSERT_NE(old, nullptr);
    EXPECT_TRUE(platform::TakeAccessOf(file, old));
    platform::CloseFile(old);
    ASSERT_TRUE(platform::CloseFile(file));
    ASSERT_TRUE(platform::ReplaceFile(fresh, target));
    EXPECT_EQ(ModeOf(target), 0640u);

    const std::string from = MakeFile("made.partial", 2, 'm');
    ASSERT_EQ(chmod(from.c_str(), 0604), 0);
    ASSERT_TRUE(platform::ReplaceFile(from, PathOf("image.dsk")));
    EXPECT_EQ(ModeOf(PathOf("image.dsk")), 0604u);
}

}  // namespace
