#include <gtest/gtest.h>

#include <filesystem>

#include "image/image_target.h"
#include "tests/support/temp_folder.h"

namespace fs = std::filesystem;

namespace {

using TargetFolder = TempFolder;

bool NotCancelled()
{
    return false;
}

void WriteImage(CImageTarget& target, const std::string& text)
{
    target.File().Write(text.data(), text.size());
}

}  // namespace

TEST_F(TargetFolder, CommitReplacesAnExistingTargetAndKeepsItsPermissions)
{
    const std::string path = MakeFile("Image.dsk", "the previous image, longer than the new one");
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    const fs::perms before = fs::status(path).permissions();
    {
        CImageTarget target;
        ASSERT_TRUE(target.Create(path));
        WriteImage(target, "new image");
        EXPECT_TRUE(target.Commit(NotCancelled));
    }
    EXPECT_EQ(ContentOf(path), "new image");
    EXPECT_EQ(fs::status(path).permissions(), before);
    EXPECT_EQ(EntryCount(), 1u);
}

TEST_F(TargetFolder, CommitCreatesAMissingTarget)
{
    const std::string path = PathOf("new.dsk");
    {
        CImageTarget target;
        ASSERT_TRUE(target.Create(path));
        WriteImage(target, "fresh");
        EXPECT_TRUE(target.Commit(NotCancelled));
    }
    EXPECT_EQ(ContentOf(path), "fresh");
    EXPECT_EQ(EntryCount(), 1u);
}

TEST_F(TargetFolder, AnUncommittedImageLeavesEverythingAsItWas)
{
    const std::string existing = MakeFile("old.dsk", std::string("old\0bytes\xFF", 10));
    {
        CImageTarget target;
        ASSERT_TRUE(target.Create(existing));
        WriteImage(target, "half an image");
    }
    EXPECT_EQ(ContentOf(existing), std::string("old\0bytes\xFF", 10));
    EXPECT_EQ(EntryCount(), 1u);
    {
        CImageTarget target;
        ASSERT_TRUE(target.Create(PathOf("never.dsk")));
        WriteImage(target, "half an image");
    }
    EXPECT_FALSE(fs::exists(PathOf("never.dsk")));
    EXPECT_EQ(EntryCount(), 1u);
    // Cancelled while the new file was flushed: still nothing replaced.
    {
        CImageTarget target;
        ASSERT_TRUE(target.Create(existing));
        WriteImage(target, "a complete image");
        EXPECT_FALSE(target.Commit([] { return true; }));
    }
    EXPECT_EQ(ContentOf(existing), std::string("old\0bytes\xFF", 10));
    EXPECT_EQ(EntryCount(), 1u);
}

TEST_F(TargetFolder, TargetsThatCannotBeReplacedAreRefused)
{
    fs::create_directory(m_folder / "folder");
    const std::string cases[] = {PathOf("folder"), PathOf("missing/Image.dsk")};
    for (const std::string& path : cases) {
        SCOPED_TRACE(path);
        CImageTarget target;
        EXPECT_FALSE(target.Create(path));
        EXPECT_FALSE(target.Commit(NotCancelled));
    }
    EXPECT_TRUE(fs::is_directory(m_folder / "folder"));
    EXPECT_TRUE(fs::is_empty(m_folder / "folder"));
    EXPECT_EQ(EntryCount(), 1u);
}

TEST_F(TargetFolder, AFailedMoveRemovesTheNewFile)
{
    const std::string path = PathOf("Image.dsk");
    CImageTarget target;
    ASSERT_TRUE(target.Create(path));
    WriteImage(target, "complete image");
    // Something that no file can replace takes the target's place meanwhile.
    fs::create_directory(path);
    MakeFile("Image.dsk/inside", "x");
    EXPECT_FALSE(target.Commit(NotCancelled));
    EXPECT_EQ(EntryCount(), 1u);
    EXPECT_EQ(ContentOf(PathOf("Image.dsk/inside")), "x");
}
