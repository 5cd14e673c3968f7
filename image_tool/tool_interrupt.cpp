#include "image_tool/tool_interrupt.h"

#include <atomic>

#include "platform/console.h"
#include "platform/interrupt.h"

namespace {

std::atomic<bool> g_bCancelled{false};
std::atomic<bool> g_bCommandOver{false};

// Each handler runs on a thread of its own and returns only once the command
// has cleaned up: the process may end right after it.
void CancelAndWait()
{
    g_bCancelled = true;
    while (!g_bCommandOver.load())
        platform::SleepMs(50);
}

}  // namespace

void CancelOnInterrupt()
{
    // Without the handlers the command still runs; only its cleanup on a
    // signal is lost, as before.
    platform::InstallInterruptHandler(CancelAndWait, CancelAndWait);
}

bool CommandCancelled()
{
    return g_bCancelled.load();
}

void EndCommand()
{
    g_bCommandOver = true;
    platform::EndIfAskedToEnd();
}
