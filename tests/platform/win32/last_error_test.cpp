#include "platform/last_error.h"

#include <string>

#include <gtest/gtest.h>

#include "platform/console.h"
#include "platform/win32/win32_api.h"
#include "tests/support/console_capture.h"

namespace {

TEST(LastErrorTest, CodeIsTheThreadsLastError)
{
    platform::SetLastErrorCode(ERROR_CRC);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CRC));
    SetLastError(ERROR_NOT_READY);
    EXPECT_EQ(platform::GetLastErrorCode(), static_cast<std::uint32_t>(ERROR_NOT_READY));
}

TEST(LastErrorTest, KnownCodesHaveTheSystemsText)
{
    for (const DWORD code : {ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED, ERROR_WRITE_PROTECT}) {
        std::string text = "stale";
        ASSERT_TRUE(platform::GetSystemErrorText(code, text)) << code;
        EXPECT_FALSE(text.empty()) << code;
        EXPECT_NE(text, "stale") << code;
        EXPECT_EQ(text.find('\0'), std::string::npos) << code;
    }
    std::string notFound;
    ASSERT_TRUE(platform::GetSystemErrorText(ERROR_FILE_NOT_FOUND, notFound));
    std::string denied;
    ASSERT_TRUE(platform::GetSystemErrorText(ERROR_ACCESS_DENIED, denied));
    EXPECT_NE(notFound, denied);
}

TEST(LastErrorTest, ACodeWithoutTextGivesNone)
{
    std::string text = "untouched";
    EXPECT_FALSE(platform::GetSystemErrorText(0x2000BEEF, text));
    EXPECT_EQ(text, "untouched");
}

TEST(LastErrorTest, OnlyWholeMediumFailuresEndATransfer)
{
    struct Case {
        DWORD code;
        bool wholeMedium;
    };
    const Case cases[] = {
        {ERROR_WRITE_PROTECT, true},   {ERROR_NOT_READY, true},      {ERROR_DEV_NOT_EXIST, true},
        {ERROR_NO_MEDIA_IN_DRIVE, true}, {ERROR_MEDIA_CHANGED, true}, {ERROR_INVALID_HANDLE, true},
        {ERROR_ACCESS_DENIED, true},   {ERROR_CRC, false},           {ERROR_SECTOR_NOT_FOUND, false},
        {ERROR_SEEK, false},           {ERROR_READ_FAULT, false},    {ERROR_WRITE_FAULT, false},
        {ERROR_HANDLE_EOF, false},     {ERROR_FILE_NOT_FOUND, false}, {ERROR_PATH_NOT_FOUND, false},
        {NO_ERROR, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(platform::IsWholeMediumError(c.code), c.wholeMedium) << c.code;
}

// Between a failing call and the text of its error the callers print "failed".
TEST(LastErrorTest, PrintingKeepsTheLastError)
{
    ConsoleCapture capture;
    SetLastError(ERROR_SECTOR_NOT_FOUND);
    platform::WriteStandardOutput("failed", 6);
    const DWORD after = GetLastError();
    EXPECT_EQ(capture.Text(), "failed");
    EXPECT_EQ(after, static_cast<DWORD>(ERROR_SECTOR_NOT_FOUND));
}

}  // namespace
