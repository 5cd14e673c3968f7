#include "app/interrupt.h"

#include <mutex>
#include <string_view>

#include "console/console_screen.h"
#include "platform/console.h"
#include "task/copy_thread.h"

std::atomic<CCopyThread*> g_pCopyThread{nullptr};
std::atomic<bool> g_bCopyDone{false};

namespace {

// Through the screen: the job's thread may be drawing progress right now.
void Write(std::string_view text)
{
    CConsoleScreen::Instance().Write(text);
}

void CancelJob()
{
    // The job signals completion under the same lock, so a job seen here as
    // not done cannot be destroyed while its flags are being set.
    std::lock_guard<std::mutex> lock(CCopyThread::LifetimeLock());
    CCopyThread* job = g_pCopyThread.load();
    if (job != nullptr && !g_bCopyDone.load())
        job->CancelAll();
}

}  // namespace

void CtrlCHandler()
{
    platform::Beep(1000, 100);
    Write("\nUser interrupt with CTRL-C...");
    CancelJob();
    do {
        platform::SleepMs(500);
    } while (!g_bCopyDone.load());
    Write("\n");
}

void TerminationHandler()
{
    CancelJob();
    // A job that never started has nothing to remove.
    while (g_pCopyThread.load() != nullptr && !g_bCopyDone.load())
        platform::SleepMs(50);
}
