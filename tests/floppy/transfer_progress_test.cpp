#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <thread>

#include "console/console_screen.h"
#include "floppy/disk_image.h"
#include "tests/support/error_codes.h"
#include "tests/support/scripted_device.h"
#include "tests/support/terminal_screen.h"

using std::chrono::milliseconds;

namespace {

constexpr DiskGeometry k720{512, 9, 2, 80, 5};

class FakeClock : public CProgressClock {
public:
    milliseconds Now() override { return m_now.load(); }
    std::atomic<milliseconds> m_now{milliseconds(0)};
};

// Standard output and standard error on one terminal, beside a terminal that
// gets standard output alone: what the screen would read without progress.
class SharedTerminal : public CProgressTerminal {
public:
    void Write(std::string_view bytes) override
    {
        m_both.Put(bytes);
        m_drawings.push_back(m_both.CurrentLine());
    }
    unsigned Columns() override { return 80; }

    void Print(std::string_view text)
    {
        if (m_pMeter->IsDrawn())
            ++m_printsOverProgress;
        if (m_both.Text() != m_outputOnly.Text())
            ++m_printsOnAChangedScreen;
        m_output += text;
        m_both.Put(text);
        m_outputOnly.Put(text);
    }

    CProgressMeter* m_pMeter = nullptr;
    TerminalScreen m_both, m_outputOnly;
    std::string m_output;
    std::vector<std::string> m_drawings;  // the open line after each drawing
    int m_printsOverProgress = 0;
    int m_printsOnAChangedScreen = 0;
};

SharedTerminal* g_pTerminal = nullptr;

void PrintToSharedTerminal(const char* data, std::size_t size)
{
    g_pTerminal->Print(std::string_view(data, size));
}

struct Transfer {
    const char* name;
    const char* announcement;
    bool write;
};

class TransferProgress : public ::testing::TestWithParam<Transfer> {
protected:
    TransferProgress()
    {
        g_pTerminal = &m_terminal;
        m_terminal.m_pMeter = &m_meter;
    }
    ~TransferProgress() override { CConsoleScreen::Instance().UseForTests(nullptr, nullptr); }

    // A slow drive: every sector attempt takes `perSector` on the clock.
    std::string Run(CScriptedDevice& device, bool withProgress, milliseconds perSector)
    {
        m_terminal = SharedTerminal();
        m_terminal.m_pMeter = &m_meter;
        device.m_onTransfer = [this, perSector, inner = device.m_onTransfer] {
            m_clock.m_now = m_clock.m_now.load() + perSector;
            if (inner)
                inner();
        };
        CConsoleScreen::Instance().UseForTests(withProgress ? &m_meter : nullptr, PrintToSharedTerminal);
        CDiskImage image;
        if (GetParam().write) {
            EXPECT_TRUE(FillWithPattern(image, device.m_geometry, 3));
        }
        m_image = &image;
        m_bResult = GetParam().write ? image.WriteToDevice(device) : image.ReadFromDevice(device);
        m_image = nullptr;
        CConsoleScreen::Instance().UseForTests(nullptr, nullptr);
        return m_terminal.m_output;
    }

    static void AddBadSectors(CScriptedDevice& device)
    {
        device.m_medium = PatternBytes(device.m_medium.size());
        device.FailReads(3, 4, 1, 1, SectorErrorCode());
        device.FailWrites(3, 4, 1, 1, SectorErrorCode());
        device.FailReads(40, 2, 2, -1, SectorErrorCode());
        device.FailWrites(40, 2, 2, -1, SectorErrorCode());
    }

    FakeClock m_clock;
    SharedTerminal m_terminal;
    CProgressMeter m_meter{m_terminal, m_clock};
    CDiskImage* m_image = nullptr;
    bool m_bResult = false;
};

}  // namespace

TEST_P(TransferProgress, ShowsLiveFiguresAndLeavesTheScreenAsWithoutThem)
{
    CScriptedDevice plain(k720);
    AddBadSectors(plain);
    const std::string withoutProgress = Run(plain, false, milliseconds(40));
    ASSERT_TRUE(m_bResult);
    EXPECT_TRUE(m_terminal.m_drawings.empty());

    CScriptedDevice slow(k720);
    AddBadSectors(slow);
    const std::string withProgress = Run(slow, true, milliseconds(40));
    ASSERT_TRUE(m_bResult);

    // Standard output is untouched, and every line met a screen without progress.
    EXPECT_EQ(withProgress, withoutProgress);
    EXPECT_NE(withProgress.find(GetParam().announcement), std::string::npos);
    EXPECT_EQ(m_terminal.m_printsOverProgress, 0);
    EXPECT_EQ(m_terminal.m_printsOnAChangedScreen, 0);
    EXPECT_EQ(m_terminal.m_both.Text(), m_terminal.m_outputOnly.Text());
    EXPECT_FALSE(m_meter.IsDrawn());

    // 1441 attempts of 40 ms are 58 s: a few drawings a second, no more.
    const auto& drawings = m_terminal.m_drawings;
    ASSERT_GE(drawings.size(), 2u);
    EXPECT_LE(drawings.size(), 58u * 4 + 8);  // plus the erases before the lines
    EXPECT_GE(drawings.size(), 58u * 2);
    EXPECT_EQ(drawings.front(), std::string(GetParam().announcement) + "   0% cyl 1 head 1, 0 skipped, 0:00");
    const auto shows = [&](const std::string& text) {
        return std::find(drawings.begin(), drawings.end(), text) != drawings.end();
    };
    // Half way the skipped sector has been counted; the figures follow the lines.
    EXPECT_TRUE(shows("Skipping cyl 40, sect 2, head 2.  50% cyl 41 head 1, 1 skipped, 0:29"));
}

TEST_P(TransferProgress, CtrlCMessageFromAnotherThreadNeverLandsOnTheProgress)
{
    CScriptedDevice device(k720);
    device.m_medium = PatternBytes(device.m_medium.size());
    std::atomic<int> attempts{0};
    std::atomic<bool> handled{false};
    // From the 300th sector on, the job keeps drawing (at every attempt)
    // while the handler prints; by the 1000th the handler has cancelled.
    device.m_onTransfer = [&] {
        if (++attempts >= 1000)
            while (!handled.load())
                std::this_thread::yield();
    };
    std::thread handler([&] {
        while (attempts.load() < 300)
            std::this_thread::yield();
        // As the handler does: its message, then the cancel flag.
        for (int i = 0; i < 20; ++i)
            CConsoleScreen::Instance().Write("\nUser interrupt with CTRL-C...");
        m_image->m_bCancel = true;
        handled = true;
    });
    Run(device, true, std::chrono::seconds(1));  // a new elapsed time at every sector
    handler.join();

    EXPECT_FALSE(m_bResult);
    EXPECT_TRUE(m_terminal.m_output.ends_with("\nCancelling all tasks..."));
    EXPECT_EQ(m_terminal.m_printsOverProgress, 0);
    EXPECT_EQ(m_terminal.m_printsOnAChangedScreen, 0);
    EXPECT_EQ(m_terminal.m_both.Text(), m_terminal.m_outputOnly.Text());
    EXPECT_GE(m_terminal.m_drawings.size(), 300u);
    int messages = 0;
    for (std::size_t at = 0; (at = m_terminal.m_output.find("User interrupt", at)) != std::string::npos; ++at)
        ++messages;
    EXPECT_EQ(messages, 20);
}

INSTANTIATE_TEST_SUITE_P(BothDirections, TransferProgress,
                         ::testing::Values(Transfer{"Read", "Reading data...", false},
                                           Transfer{"Write", "Writing data...", true}),
                         [](const auto& info) { return std::string(info.param.name); });
