#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <system_error>
#include <thread>

#include "platform/interrupt.h"

namespace platform {

namespace {

// The first signal that asked the process to end; 0 while none did.
std::atomic<int> g_endingSignal{0};

// As if the signal had never been taken: its default action, which ends the
// process with the status the signal implies.
[[noreturn]] void EndBySignal(int signal)
{
    ::signal(signal, SIG_DFL);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signal);
    pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
    raise(signal);
    _exit(128 + signal);  // not reached: each of these signals ends the process
}

// Like the console events on Windows, each signal is answered on a thread of
// its own, so that a handler that waits never holds up the next signal.
template <class Answer>
void AnswerOnThreadOfItsOwn(Answer answer)
{
    try {
        std::thread(answer).detach();
    } catch (const std::system_error&) {
        answer();  // no thread to be had: answer here, one after another
    }
}

// Takes every watched signal of the process, one after another, on a thread
// of its own where the handlers may print, sleep and wait like any other code.
void WatchSignals(InterruptHandler interrupt, InterruptHandler onTermination, sigset_t watched)
{
    for (;;) {
        int signal = 0;
        if (sigwait(&watched, &signal) != 0)
            continue;
        if (signal == SIGINT) {
            AnswerOnThreadOfItsOwn(interrupt);
        } else if (g_endingSignal.exchange(signal) == 0) {
            AnswerOnThreadOfItsOwn([onTermination, signal] {
                onTermination();
                EndBySignal(signal);
            });
        }
    }
}

}  // namespace

bool InstallInterruptHandler(InterruptHandler handler, InterruptHandler onTermination)
{
    sigset_t watched;
    sigemptyset(&watched);
    sigaddset(&watched, SIGINT);
    // Each of these would end the process at once and leave a half-written
    // image behind; the job is stopped first, and then the process ends.
    if (onTermination != nullptr) {
        for (const int signal : {SIGTERM, SIGHUP, SIGQUIT})
            sigaddset(&watched, signal);
    }
    // Blocked here, before any other thread exists, so that every thread
    // inherits the mask and only the watcher ever takes the signals.
    if (pthread_sigmask(SIG_BLOCK, &watched, nullptr) != 0)
        return false;
    try {
        std::thread(WatchSignals, handler, onTermination, watched).detach();
    } catch (const std::system_error&) {
        pthread_sigmask(SIG_UNBLOCK, &watched, nullptr);
        return false;
    }
    return true;
}

void EndIfAskedToEnd()
{
    const int signal = g_endingSignal.load();
    if (signal != 0)
        EndBySignal(signal);
}

}  // namespace platform
