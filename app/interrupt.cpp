#include "app/interrupt.h"

#include <mutex>

#include "console/console_screen.h"
#include "platform/console.h"
#include "task/copy_thread.h"

std::atomic<CCopyThread*> g_pCopyThread{nullptr};
std::atomic<bool> g_bCopyDone{false};
std::atomic<bool> g_bInterrupted{false};
std::atomic<int> g_nAnswering{0};

namespace {

void CancelJob()
{
    // The job signals completion under the same lock, so a job seen here as
    // not done cannot be destroyed while its flags are being set.
    std::lock_guard<std::mutex> lock(CCopyThread::LifetimeLock());
    g_bInterrupted = true;
    CCopyThread* job = g_pCopyThread.load();
    if (job != nullptr && !g_bCopyDone.load())
        job->CancelAll();
}

bool JobUnderWay()
{
    return g_pCopyThread.load() != nullptr && !g_bCopyDone.load();
}

}  // namespace

void CtrlCHandler()
{
    ++g_nAnswering;
    platform::Beep(1000, 100);
    // Through the screen: the job's thread may be drawing progress right now.
    CConsoleScreen::Instance().Write("\nUser interrupt with CTRL-C...");
    CancelJob();
    do {
        platform::SleepMs(500);
    } while (JobUnderWay());
    CConsoleScreen::Instance().Write("\n");
    --g_nAnswering;
}

void TerminationHandler()
{
    CancelJob();
    // A job that never started has nothing to remove.
    while (JobUnderWay())
        platform::SleepMs(50);
}
