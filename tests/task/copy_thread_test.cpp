#include "task/copy_thread.h"

#include <gtest/gtest.h>

#include "tests/support/console_capture.h"

namespace {

struct ExecuteRun {
    JobOutcome outcome;
    std::string console;
};

ExecuteRun RunJob(OperationMode mode, DriveVolume volume, std::atomic<bool>* done)
{
    auto* job = new CCopyThread;
    job->m_pbDone = done;
    job->m_strImageFile = "never-created.dsk";
    ConsoleCapture capture;
    const JobOutcome outcome = job->Execute(mode, volume);  // destroys the job
    return {outcome, capture.Text()};
}

TEST(CopyThread, AVolumeThatDoesNotOpenEndsTheJob)
{
    for (OperationMode mode : {OpImageFromDisk, OpDiskFromImage, OpNone}) {
        std::atomic<bool> done{false};
        const ExecuteRun run = RunJob(mode, VolumeNone, &done);
        EXPECT_EQ(run.outcome, JobOutcome::Failed);
        EXPECT_EQ(run.console.rfind("\nOpening floppy device...failed\nERROR: ", 0), 0u) << run.console;
        EXPECT_EQ(run.console.find("Closing floppy device"), std::string::npos);
        EXPECT_EQ(run.console.find('\n', 1), run.console.rfind('\n'));  // exactly two lines
        EXPECT_TRUE(done.load());
    }
}

TEST(CopyThread, WithoutACompletionFlagNothingIsSignalled)
{
    const ExecuteRun run = RunJob(OpNone, VolumeNone, nullptr);
    EXPECT_EQ(run.outcome, JobOutcome::Failed);
}

TEST(CopyThread, OutcomeTellsSkippedSectors)
{
    CDiskImage image;
    EXPECT_EQ(TransferOutcome(image), JobOutcome::Completed);
    image.m_skippedSectors.push_back(3);
    EXPECT_EQ(TransferOutcome(image), JobOutcome::CompletedWithSkips);
}

}  // namespace
