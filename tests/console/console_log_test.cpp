#include "console/console_log.h"

#include <gtest/gtest.h>

#include "platform/last_error.h"
#include "tests/support/console_capture.h"
#include "tests/support/error_codes.h"

namespace {

TEST(ConsoleLog, FollowsTheLineDiscipline)
{
    CConsoleLog log;
    ConsoleCapture capture;
    log.Print("Opening floppy device...", false);
    log.Print("ok", true);
    log.Print("", true);
    log.Print("", false);
    log.PrintError("");
    log.PrintWarning("careful");
    log.Print("100% %s %d %n %%", false);
    EXPECT_EQ(capture.Text(), "\nOpening floppy device...ok\n\nERROR: \nWarning: careful\n100% %s %d %n %%");
}

TEST(ConsoleLog, PrintLeavesTheLastErrorAlone)
{
    CConsoleLog log;
    ConsoleCapture capture;
    platform::SetLastErrorCode(SectorErrorCode());
    log.Print("failed", true);
    EXPECT_EQ(platform::GetLastErrorCode(), SectorErrorCode());
}

TEST(ConsoleLog, ErrorTextIsOneLine)
{
    platform::SetLastErrorCode(SectorErrorCode());
    const std::string text = LastErrorText();
    std::string system;
    ASSERT_TRUE(platform::GetSystemErrorText(SectorErrorCode(), system));
    std::erase(system, '\n');
    std::erase(system, '\r');
    EXPECT_EQ(text, system);
    EXPECT_FALSE(text.empty());
    EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos);
}

TEST(ConsoleLog, CheckCancelReportsEveryTimeTheFlagIsSet)
{
    CConsoleLog log;
    ConsoleCapture capture;
    EXPECT_FALSE(log.CheckCancel());
    log.m_bCancel = true;
    EXPECT_TRUE(log.CheckCancel());
    EXPECT_TRUE(log.CheckCancel());
    EXPECT_EQ(capture.Text(), "\nCancelling all tasks...\nCancelling all tasks...");
}

TEST(FormatText, FillsNumbersAndSignedChanges)
{
    EXPECT_EQ(FormatText("Fixed cyl %i, sect %i, head %i.", 1, 3, 2), "Fixed cyl 1, sect 3, head 2.");
    EXPECT_EQ(FormatText("ok (%ikb, %ikb, %+.2f%%)", 1474, 350, -76.2573), "ok (1474kb, 350kb, -76.26%)");
    EXPECT_EQ(FormatText("%s", ""), "");
}

}  // namespace
