// A binary of its own: installing the handler blocks SIGINT for the whole
// process, which no other test should inherit.
#include <signal.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/interrupt.h"

namespace {

std::atomic<int> g_calls{0};
std::atomic<bool> g_onMainThread{false};
std::thread::id g_mainThread;

void CountInterrupt()
{
    if (std::this_thread::get_id() == g_mainThread)
        g_onMainThread = true;
    ++g_calls;
}

// A signal arrives asynchronously: wait for it, but not forever.
bool WaitForCalls(int expected)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (g_calls.load() < expected) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

TEST(InterruptHandler, EveryCtrlCReachesTheHandlerOnAThreadOfItsOwn)
{
    g_mainThread = std::this_thread::get_id();
    ASSERT_TRUE(platform::InstallInterruptHandler(CountInterrupt));

    ASSERT_EQ(kill(getpid(), SIGINT), 0);
    ASSERT_TRUE(WaitForCalls(1)) << "the handler never ran";
    // The handler may sleep and print, so the signal must not land on the
    // thread it interrupted.
    EXPECT_FALSE(g_onMainThread.load());

    // The user may press Ctrl-C again while the first one is being answered.
    ASSERT_EQ(kill(getpid(), SIGINT), 0);
    EXPECT_TRUE(WaitForCalls(2)) << "a second Ctrl-C was lost";
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(g_calls.load(), 2);
}

}  // namespace
