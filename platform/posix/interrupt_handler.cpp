#include <pthread.h>
#include <signal.h>

#include <thread>

#include "platform/console.h"

namespace platform {

namespace {

// Takes every SIGINT of the process, one after another, on a thread of its own
// where the handler may print, sleep and wait like any other code.
void WatchInterrupts(InterruptHandler handler, sigset_t interrupts)
{
    for (;;) {
        int signal = 0;
        if (sigwait(&interrupts, &signal) == 0 && signal == SIGINT)
            handler();
    }
}

}  // namespace

bool InstallInterruptHandler(InterruptHandler handler)
{
    sigset_t interrupts;
    sigemptyset(&interrupts);
    sigaddset(&interrupts, SIGINT);
    // Blocked here, before any other thread exists, so that every thread
    // inherits the mask and only the watcher ever takes the signal.
    if (pthread_sigmask(SIG_BLOCK, &interrupts, nullptr) != 0)
        return false;
    try {
        std::thread(WatchInterrupts, handler, interrupts).detach();
    } catch (const std::system_error&) {
        pthread_sigmask(SIG_UNBLOCK, &interrupts, nullptr);
        return false;
    }
    return true;
}

}  // namespace platform
