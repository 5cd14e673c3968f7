#include "task/copy_thread.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/console_capture.h"
#include "tests/support/error_codes.h"
#include "tests/support/expected_text.h"
#include "tests/support/job_under_test.h"
#include "tests/support/scripted_device.h"

namespace {

Printed<JobOutcome> RunJob(OperationMode mode, DriveVolume volume, std::atomic<bool>* done)
{
    auto* job = new CCopyThread;
    job->m_pbDone = done;
    job->m_strImageFile = "never-created.dsk";
    return RunPrinting([&] { return job->Execute(mode, volume); });  // destroys the job
}

TEST(CopyThread, AVolumeThatDoesNotOpenEndsTheJob)
{
    for (OperationMode mode : {OpImageFromDisk, OpDiskFromImage, OpNone}) {
        std::atomic<bool> done{false};
        const auto run = RunJob(mode, VolumeNone, &done);
        EXPECT_EQ(run.result, JobOutcome::Failed);
        EXPECT_EQ(run.console.rfind("\nOpening floppy device...failed\nERROR: ", 0), 0u) << run.console;
        EXPECT_EQ(run.console.find("Closing floppy device"), std::string::npos);
        EXPECT_EQ(run.console.find('\n', 1), run.console.rfind('\n'));  // exactly two lines
        EXPECT_TRUE(done.load());
    }
}

TEST(CopyThread, WithoutACompletionFlagNothingIsSignalled)
{
    const auto run = RunJob(OpNone, VolumeNone, nullptr);
    EXPECT_EQ(run.result, JobOutcome::Failed);
}

TEST(CopyThread, OutcomeTellsSkippedSectors)
{
    CJobUnderTest job;
    EXPECT_EQ(job.TransferOutcome(), JobOutcome::Completed);
    job.m_image.m_skippedSectors.push_back(3);
    EXPECT_EQ(job.TransferOutcome(), JobOutcome::CompletedWithSkips);
}

// -d with -c: the disk is read back after the write and compared with the image.
class VerifiedRestore : public ::testing::Test {
protected:
    static constexpr DiskGeometry k144{512, 18, 2, 80, 2};

    VerifiedRestore() : m_device(k144) { EXPECT_TRUE(FillWithPattern(m_image, k144, 5)); }

    JobOutcome Restore()
    {
        m_job.m_bVerify = true;
        m_report = JobReport{};
        m_job.m_pReport = &m_report;
        auto run = RunPrinting([&] { return m_job.WriteDiskAndReport(m_device); });
        m_console = std::move(run.console);
        return run.result;
    }

    const std::string kWritten = MediaQueried(2) + "\nWriting data...";
    CJobUnderTest m_job;
    CDiskImage& m_image = m_job.m_image;
    CScriptedDevice m_device;
    std::string m_console;
    JobReport m_report;
};

TEST_F(VerifiedRestore, ACleanDiskReadsBackEqualFromTheMedium)
{
    EXPECT_EQ(Restore(), JobOutcome::Completed);
    EXPECT_EQ(m_console, kWritten + "\nVerifying data...\nVerified: all 2880 sectors equal the image.\nDisk successfully created.");
    EXPECT_EQ(m_device.m_reads.size(), 2880u);
    EXPECT_EQ(m_device.m_cacheForgotten, std::vector<std::size_t>{0});  // before the first read
}

TEST_F(VerifiedRestore, SectorsThatDifferOrDoNotReadBackFailTheJob)
{
    m_device.KeepOtherBytes(2, 5, 1);
    m_device.KeepOtherBytes(80, 18, 2);
    m_device.FailReads(40, 1, 2, -1, SectorErrorCode());
    m_device.FailReads(41, 1, 1, 1, SectorErrorCode());  // reads on the retry
    EXPECT_EQ(Restore(), JobOutcome::Failed);
    EXPECT_EQ(m_console, kWritten + "\nVerifying data...\nDiffers cyl 2, sect 5, head 1." + ErrorLine(SectorErrorCode()) +
                             "\nUnreadable cyl 40, sect 1, head 2.\nDiffers cyl 80, sect 18, head 2."
                             "\nVerified: 2 of 2880 sectors differ, 1 unreadable.\nDisk could not be written.");
    EXPECT_EQ(m_device.m_reads.size(), 2880u + 1 + 1);
    EXPECT_TRUE(m_report.verifyFailed);  // logged as "differs", not "failed"
}

TEST_F(VerifiedRestore, SectorsTheWriterSkippedAreNotReadBack)
{
    m_device.FailWrites(3, 7, 2, -1, SectorErrorCode());
    EXPECT_EQ(Restore(), JobOutcome::CompletedWithSkips);
    EXPECT_EQ(m_console, kWritten + ErrorLine(SectorErrorCode()) +
                             "\nSkipping cyl 3, sect 7, head 2.\nVerifying data..."
                             "\nVerified: all 2879 written sectors equal the image; 1 sector could not be written."
                             "\nDisk created, but 1 sector could not be written.");
    EXPECT_EQ(std::count(m_device.m_reads.begin(), m_device.m_reads.end(), CScriptedDevice::Place(3, 7, 2)), 0);
    EXPECT_EQ(m_report.failedSectors, 1u);
    EXPECT_FALSE(m_report.verifyFailed);
}

TEST_F(VerifiedRestore, ALostMediumOrCtrlCEndsTheReadBack)
{
    int reads = 0;
    m_device.m_onTransfer = [&] {
        if (!m_device.m_reads.empty() && ++reads == 3)
            m_image.m_bCancel = true;
    };
    EXPECT_EQ(Restore(), JobOutcome::Failed);
    EXPECT_EQ(m_console, kWritten + "\nVerifying data...\nCancelling all tasks...\nDisk could not be written.");
    EXPECT_EQ(m_device.m_reads.size(), 3u);
    EXPECT_FALSE(m_report.verifyFailed);  // cancelled, not different

    m_device.m_onTransfer = nullptr;
    m_device.m_reads.clear();
    m_device.FailReads(1, 4, 1, -1, NoMediumErrorCode());
    EXPECT_EQ(Restore(), JobOutcome::Failed);
    EXPECT_EQ(m_console, kWritten + "\nVerifying data..." + ErrorLine(NoMediumErrorCode()) +
                             "\nUnreadable cyl 1, sect 4, head 1.\nVerified: 0 of 2880 sectors differ, 2877 unreadable."
                             "\nDisk could not be written.");
    EXPECT_EQ(m_device.m_reads.size(), 4u);
}

}  // namespace
