#include <atomic>
#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "platform/interrupt.h"
#include "platform/win32/win32_api.h"

namespace {

std::atomic<int> g_calls{0};

void CountCall() { g_calls.fetch_add(1); }

bool WaitForCalls(int expected)
{
    for (int i = 0; i < 300 && g_calls.load() < expected; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return g_calls.load() >= expected;
}

// Each Ctrl-C reaches the handler and the process goes on afterwards.
TEST(InterruptHandlerTest, EveryCtrlCCallsTheHandler)
{
    // Console events go to the processes of a console; one of our own makes
    // sure the event reaches this process alone (and that there is one at all
    // when the tests run with pipes for their output).
    FreeConsole();
    ASSERT_TRUE(AllocConsole()) << GetLastError();
    ASSERT_TRUE(platform::InstallInterruptHandler(CountCall));
    for (int round = 1; round <= 2; ++round) {
        const int before = g_calls.load();
        ASSERT_TRUE(GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0)) << GetLastError();
        EXPECT_TRUE(WaitForCalls(before + 1)) << "round " << round;
    }
    FreeConsole();
}

}  // namespace
