// What the file calls do on Windows and not elsewhere: a file that is open
// cannot be replaced.
#include "platform/file.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/file_names.h"
#include "tests/support/temp_folder.h"

namespace {

using WindowsImageFiles = TempFolder;

TEST_F(WindowsImageFiles, ReplaceFileFailsWhileTheTargetIsOpen)
{
    const std::string target = MakeFile("busy.dsk", "old image");
    std::string partial;
    platform::FileHandle file = platform::CreateTemporaryBeside(target, partial);
    ASSERT_NE(file, nullptr);
    platform::CloseFile(file);
    platform::FileHandle reader = platform::OpenForReading(target);
    ASSERT_NE(reader, nullptr);

    EXPECT_FALSE(platform::ReplaceFile(partial, target));
    platform::CloseFile(reader);
    EXPECT_EQ(ContentOf(target), "old image");
    EXPECT_TRUE(platform::PathExists(partial));
}

}  // namespace
