#include "app/interrupt.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "task/copy_thread.h"
#include "tests/support/console_capture.h"

namespace {

// A job as main starts it: published for the handler, signalling completion.
CCopyThread* PublishJob()
{
    g_bCopyDone = false;
    auto* job = new CCopyThread;
    job->m_pbDone = &g_bCopyDone;
    g_pCopyThread = job;
    return job;
}

// The handler races the end of Execute, which destroys the job: it must wait
// for the completion signal and never write into the destroyed object (the
// sanitizers see it if it does).
TEST(CtrlCHandler, WaitsForTheJobToEndAndNeverTouchesItAfterwards)
{
    for (int round = 0; round < 4; ++round) {
        CCopyThread* job = PublishJob();
        ConsoleCapture capture;
        std::atomic<bool> handlerDone{false};
        std::thread handler([&] {
            CtrlCHandler();
            handlerDone = true;
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(round * 3));
        job->Execute(OpNone, VolumeNone);  // fails at the open: a short job
        g_pCopyThread = nullptr;
        handler.join();
        const std::string text = capture.Text();

        EXPECT_TRUE(g_bCopyDone.load());
        EXPECT_TRUE(handlerDone.load());
        EXPECT_NE(text.find("\nUser interrupt with CTRL-C..."), std::string::npos) << text;
        EXPECT_NE(text.find("Opening floppy device...failed"), std::string::npos) << text;
        EXPECT_EQ(text.back(), '\n') << text;
    }
}

TEST(CtrlCHandler, AfterTheJobWaitsOneStepAndSetsNothing)
{
    g_bCopyDone = true;
    g_pCopyThread = nullptr;
    ConsoleCapture capture;
    const auto start = std::chrono::steady_clock::now();
    CtrlCHandler();
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(capture.Text(), "\nUser interrupt with CTRL-C...\n");
    EXPECT_GE(waited, std::chrono::milliseconds(500));
}

TEST(CtrlCHandler, CancelsEveryFlagOfARunningJob)
{
    CCopyThread* job = PublishJob();
    std::thread handler([] { CtrlCHandler(); });
    // The handler sets the flags at once and then waits for the job to end.
    for (int i = 0; i < 200 && !job->m_image.m_bCancel.load(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_TRUE(job->m_bCancel.load());
    EXPECT_TRUE(job->m_floppyNT.m_bCancel.load());
    EXPECT_TRUE(job->m_floppy9x.m_bCancel.load());
    EXPECT_TRUE(job->m_image.m_bCancel.load());
    ConsoleCapture capture;
    job->Execute(OpNone, VolumeNone);
    g_pCopyThread = nullptr;
    handler.join();
    EXPECT_TRUE(g_bCopyDone.load());
}

}  // namespace
