#include "app/copy_options.h"
#include "app/session_names.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/usage_text.h"
#include "task/disk_record.h"
#include "tests/support/console_capture.h"

namespace {

struct OptionsCase {
    const char* name;
    std::vector<const char*> elements;
    bool showUsage;
    OperationMode mode;
    DriveVolume volume;
    const char* imageFile;
    int usagePrints;
};

std::string UsageText()
{
    ConsoleCapture capture;
    PrintUsage();
    return capture.Text();
}

int CountOccurrences(const std::string& text, const std::string& part)
{
    int count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
        ++count;
    return count;
}

class OptionsTable : public ::testing::TestWithParam<OptionsCase> {};

TEST_P(OptionsTable, BuildsTheRecordAndPrintsUsage)
{
    const OptionsCase& c = GetParam();
    std::vector<const char*> argv{"prog"};
    argv.insert(argv.end(), c.elements.begin(), c.elements.end());
    ConsoleCapture capture;
    const CopyOptions options = BuildOptions(static_cast<int>(argv.size()), argv.data());
    const std::string printed = capture.Text();

    EXPECT_EQ(options.m_bShowUsage, c.showUsage);
    if (!c.showUsage) {
        EXPECT_EQ(options.m_mode, c.mode);
        EXPECT_EQ(options.m_volume, c.volume);
        EXPECT_EQ(options.m_strImageFile, c.imageFile);
    }
    std::string expected;
    for (int i = 0; i < c.usagePrints; ++i)
        expected += UsageText();
    EXPECT_TRUE(SameBytes(expected, printed));
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, OptionsTable,
    ::testing::Values(
        OptionsCase{"empty", {}, true, OpNone, VolumeNone, "", 1},
        OptionsCase{"plain_only", {"x"}, true, OpNone, VolumeNone, "", 1},
        OptionsCase{"help_alone", {"-h"}, true, OpNone, VolumeNone, "", 2},
        OptionsCase{"no_job", {"-v", "A"}, true, OpNone, VolumeNone, "", 1},
        OptionsCase{"upper_case_i", {"-I"}, true, OpNone, VolumeNone, "", 1},
        OptionsCase{"bad_drive", {"-i", "-v", "X"}, true, OpNone, VolumeNone, "", 1},
        OptionsCase{"drive_with_colon", {"-i", "-v", "A:"}, true, OpNone, VolumeNone, "", 1},
        OptionsCase{"bad_drive_with_help", {"-h", "-i", "-v", "C"}, true, OpNone, VolumeNone, "", 2},
        OptionsCase{"empty_file_name", {"-i", "-f", "", ""}, true, OpNone, VolumeNone, "", 1},
        OptionsCase{"image_defaults", {"-i"}, false, OpImageFromDisk, VolumeA, "Image.dsk", 0},
        OptionsCase{"help_and_image", {"-h", "-i"}, false, OpImageFromDisk, VolumeA, "Image.dsk", 1},
        OptionsCase{"image_wins_over_disk", {"-d", "-i"}, false, OpImageFromDisk, VolumeA, "Image.dsk", 0},
        OptionsCase{"disk_drive_b_lower", {"-d", "-v", "b", "-f", "x.dsk"}, false, OpDiskFromImage, VolumeB, "x.dsk", 0},
        OptionsCase{"drive_a_lower", {"-i", "-v", "a"}, false, OpImageFromDisk, VolumeA, "Image.dsk", 0},
        OptionsCase{"drive_without_argument", {"-i", "-v"}, false, OpImageFromDisk, VolumeA, "Image.dsk", 0},
        OptionsCase{"drive_followed_by_switch", {"-v", "-i"}, false, OpImageFromDisk, VolumeA, "Image.dsk", 0},
        OptionsCase{"file_without_argument", {"-i", "-f"}, false, OpImageFromDisk, VolumeA, "Image.dsk", 0},
        OptionsCase{"empty_file_argument", {"-i", "-f", ""}, false, OpImageFromDisk, VolumeA, "Image.dsk", 0},
        OptionsCase{"percent_in_name", {"-i", "-f", "a%sb%d"}, false, OpImageFromDisk, VolumeA, "a%sb%d", 0},
        OptionsCase{"rescue", {"-r", "-i", "-v", "B"}, false, OpRescueImage, VolumeB, "Image.dsk", 0},
        OptionsCase{"rescue_ignored_by_disk", {"-d", "-r"}, false, OpDiskFromImage, VolumeA, "Image.dsk", 0},
        OptionsCase{"rescue_alone", {"-r"}, true, OpNone, VolumeNone, "", 1},
        OptionsCase{"log_without_name", {"-i", "-l", "-f", "x.dsk"}, true, OpNone, VolumeNone, "", 1},
        OptionsCase{"log_with_name", {"-i", "-b", "-l", "box.csv"}, false, OpImageFromDisk, VolumeA, "Image.dsk", 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Banner, IsNameVersionAndTwoLineBreaks)
{
    ConsoleCapture capture;
    PrintBanner();
    EXPECT_EQ(capture.Text(), "Mendarovel " MENDAROVEL_VERSION " for Console\n\n");
}

TEST(Usage, HasTwentyLinesWithTheExamples)
{
    const std::string usage = UsageText();
    EXPECT_EQ(CountOccurrences(usage, "\n"), 20);
    EXPECT_EQ(usage.rfind("\nUsage example 1: Mendarovel -i\n", 0), 0u);
    EXPECT_NE(usage.find("\n           -f filename      Name of the disk image file (default Image.dsk)\n\n"),
              std::string::npos);
}

// The counter is the last group of digits of the final part, at its width;
// a name without digits gets one before its extension, never in a folder.
TEST(SessionNames, CountOnInTheNameAndBesideTheRecord)
{
    const CSessionNames box("box7-001.dsk");
    EXPECT_EQ(box.First(), 1u);
    EXPECT_EQ(box.NameFor(2), "box7-002.dsk");
    EXPECT_EQ(box.NameFor(1000), "box7-1000.dsk");
    EXPECT_EQ(CSessionNames("disk9.dsk").NameFor(10), "disk10.dsk");
    EXPECT_EQ(CSessionNames("disk9.dsk").First(), 9u);
    EXPECT_EQ(CSessionNames("Image.dsk").NameFor(1), "Image-001.dsk");
    EXPECT_EQ(CSessionNames("run2/v1.0/label").NameFor(1), "run2/v1.0/label-001");
    EXPECT_EQ(CSessionNames("run2/.dsk").NameFor(4), "run2/.dsk-004");
    EXPECT_EQ(CSessionNames("99999999999999999999999.dsk").NameFor(2).size(), 27u);

    EXPECT_EQ(RecordNameOf("box7-001.dsk"), "box7-001.json");
    EXPECT_EQ(RecordNameOf("run2/v1.0/label"), "run2/v1.0/label.json");
    EXPECT_EQ(RecordNameOf("run2/.dsk"), "run2/.dsk.json");
}

TEST(ExitStatus, TellsTheOutcome)
{
    EXPECT_EQ(ExitStatusFor(JobOutcome::Completed), 0);
    EXPECT_EQ(ExitStatusFor(JobOutcome::Failed), 2);
    EXPECT_EQ(ExitStatusFor(JobOutcome::CompletedWithSkips), 3);
}

}  // namespace
