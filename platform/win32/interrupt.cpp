#include <atomic>

#include "platform/interrupt.h"
#include "platform/win32/win32_api.h"

namespace platform {

namespace {

std::atomic<InterruptHandler> g_interruptHandler{nullptr};

// The system calls this on a thread of its own for every console event.
BOOL WINAPI ConsoleControlRoutine(DWORD controlType)
{
    if (controlType != CTRL_C_EVENT)
        return FALSE;  // Ctrl-Break, closing, log-off: the next handler ends the process
    const InterruptHandler handler = g_interruptHandler.load();
    if (handler != nullptr)
        handler();
    return TRUE;
}

}  // namespace

// Ctrl-Break, closing the console, log-off and shut-down keep their default.
bool InstallInterruptHandler(InterruptHandler handler, InterruptHandler /*onTermination*/)
{
    g_interruptHandler.store(handler);
    return SetConsoleCtrlHandler(ConsoleControlRoutine, TRUE) != FALSE;
}

void EndIfAskedToEnd()
{
}

}  // namespace platform
