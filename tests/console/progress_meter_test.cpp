#include <gtest/gtest.h>

#include "console/progress_meter.h"
#include "tests/support/terminal_screen.h"

using std::chrono::milliseconds;

namespace {

class FakeTerminal : public CProgressTerminal {
public:
    void Write(std::string_view bytes) override
    {
        ++m_writes;
        m_screen.Put(bytes);
    }
    unsigned Columns() override { return m_columns; }

    TerminalScreen m_screen;
    unsigned m_columns = 80;
    int m_writes = 0;
};

class FakeClock : public CProgressClock {
public:
    milliseconds Now() override { return m_now; }
    milliseconds m_now{5000};  // any origin: only differences may count
};

constexpr std::string_view kOpenLine = "Reading data...";
constexpr unsigned kColumn = 15;

ProgressFigures Figures(std::uint64_t done, unsigned cylinder, unsigned head, std::uint64_t skipped = 0)
{
    return {done, 2880, cylinder, head, skipped};
}

struct MeterFixture : ::testing::Test {
    MeterFixture() { terminal.m_screen.Put(kOpenLine); }
    FakeTerminal terminal;
    FakeClock clock;
    CProgressMeter meter{terminal, clock};
};

}  // namespace

TEST(FormatProgress, ShowsPercentPositionSkippedAndElapsedTime)
{
    struct Case {
        ProgressFigures figures;
        milliseconds elapsed;
        const char* text;
    } cases[] = {
        {{0, 2880, 1, 1, 0}, milliseconds(0), "   0% cyl 1 head 1, 0 skipped, 0:00"},
        {{1439, 2880, 40, 2, 3}, milliseconds(61999), "  49% cyl 40 head 2, 3 skipped, 1:01"},  // rounded down
        {{2880, 2880, 80, 2, 0}, milliseconds(600000), " 100% cyl 80 head 2, 0 skipped, 10:00"},
        {{2879, 2880, 80, 2, 0}, milliseconds(3723000), "  99% cyl 80 head 2, 0 skipped, 1:02:03"},
        {{5, 0, 1, 1, 0}, milliseconds(0), "   0% cyl 1 head 1, 0 skipped, 0:00"},  // no division by zero
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatProgress(c.figures, c.elapsed), c.text);
}

TEST_F(MeterFixture, DrawsAfterTheOpenLineAndErasesWithoutATrace)
{
    meter.Start();
    meter.Show(Figures(0, 1, 1), kColumn);
    EXPECT_EQ(terminal.m_screen.CurrentLine(), "Reading data...   0% cyl 1 head 1, 0 skipped, 0:00");
    EXPECT_TRUE(meter.IsDrawn());

    meter.Erase();
    EXPECT_FALSE(meter.IsDrawn());
    EXPECT_EQ(terminal.m_screen.CurrentLine(), kOpenLine);
    EXPECT_EQ(terminal.m_screen.CursorColumn(), kColumn);  // the next line starts where it would have
    meter.Erase();  // nothing left to erase: nothing sent
    EXPECT_EQ(terminal.m_writes, 2);
}

TEST_F(MeterFixture, RedrawsAFewTimesASecondAndOnlyWhenTheTextChanges)
{
    struct Step {
        int atMs;
        std::uint64_t done;
        bool draws;
    } steps[] = {
        {0, 0, true},       // the first figures show at once
        {100, 100, false},  // changed, but too soon
        {249, 200, false},
        {250, 300, true},
        {400, 400, false},
        {700, 300, false},  // due, but the same text as on the screen
        {999, 300, false},
        {1000, 300, true},   // the elapsed time turned to 0:01
        {1300, 1440, true},  // due and changed
    };
    const milliseconds origin = clock.m_now;
    meter.Start();
    for (const Step& step : steps) {
        clock.m_now = origin + milliseconds(step.atMs);
        const int before = terminal.m_writes;
        meter.Show(Figures(step.done, 1, 1), kColumn);
        EXPECT_EQ(terminal.m_writes - before, step.draws ? 1 : 0) << "at " << step.atMs << " ms";
    }
    EXPECT_EQ(terminal.m_screen.CurrentLine(), "Reading data...  50% cyl 1 head 1, 0 skipped, 0:01");
}

TEST_F(MeterFixture, NeverReachesTheLastColumnAndLeavesNoRestWhenNarrowed)
{
    meter.Start();
    meter.Show(Figures(0, 1, 1), kColumn);
    terminal.m_columns = 30;  // the window was made narrower
    clock.m_now += CProgressMeter::kMinInterval;
    meter.Show(Figures(1, 1, 1), kColumn);
    EXPECT_EQ(terminal.m_screen.CurrentLine(), "Reading data...   0% cyl 1 he");
    EXPECT_EQ(terminal.m_screen.CurrentLine().size(), 29u);

    meter.Erase();
    terminal.m_columns = 16;  // no room after the open line: nothing is drawn
    clock.m_now += CProgressMeter::kMinInterval;
    const int before = terminal.m_writes;
    meter.Show(Figures(2, 1, 1), kColumn);
    EXPECT_EQ(terminal.m_writes, before);
    EXPECT_EQ(terminal.m_screen.CurrentLine(), kOpenLine);
}

TEST_F(MeterFixture, UnknownWidthCountsAsEightyColumns)
{
    terminal.m_columns = 0;
    meter.Start();
    meter.Show(Figures(0, 1, 1), 60);
    // 19 characters fit between column 60 and the last of 80.
    EXPECT_EQ(terminal.m_screen.CurrentLine(), "Reading data...   0% cyl 1 head 1,");
}

TEST_F(MeterFixture, DrawsNothingOutsideATransfer)
{
    meter.Show(Figures(0, 1, 1), kColumn);  // never started
    meter.Start();
    meter.Show(Figures(0, 1, 1), kColumn);
    meter.Stop();
    EXPECT_EQ(terminal.m_screen.CurrentLine(), kOpenLine);
    clock.m_now += std::chrono::seconds(5);
    meter.Show(Figures(9, 1, 1), kColumn);
    EXPECT_EQ(terminal.m_screen.CurrentLine(), kOpenLine);
    EXPECT_EQ(terminal.m_writes, 2);  // one drawing, one erase

    // A new transfer starts its clock afresh and shows at once.
    meter.Start();
    meter.Show(Figures(0, 1, 1), kColumn);
    EXPECT_EQ(terminal.m_screen.CurrentLine(), "Reading data...   0% cyl 1 head 1, 0 skipped, 0:00");
}
