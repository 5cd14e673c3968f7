#pragma once
// Live progress of a disk transfer, drawn after the open console line and
// erased without a trace, so that the screen ends as if it was never there.

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

#include "console/progress_figures.h"

// Where the progress is drawn: a terminal that moves back on a backspace and
// knows erase-to-end-of-line (ESC [ K).
class CProgressTerminal {
public:
    virtual ~CProgressTerminal() = default;
    virtual void Write(std::string_view bytes) = 0;
    // Width in columns; 0 when unknown.
    virtual unsigned Columns() = 0;
};

class CProgressClock {
public:
    virtual ~CProgressClock() = default;
    // Any steady origin; only differences count.
    virtual std::chrono::milliseconds Now() = 0;
};

// " 42% cyl 34 head 2, 0 skipped, 0:12"
std::string FormatProgress(const ProgressFigures& figures, std::chrono::milliseconds elapsed);

class CProgressMeter {
public:
    // A few updates a second: enough to look alive, few enough to cost nothing.
    static constexpr std::chrono::milliseconds kMinInterval{250};
    // Columns assumed when the terminal cannot tell its width.
    static constexpr unsigned kDefaultColumns = 80;

    CProgressMeter(CProgressTerminal& terminal, CProgressClock& clock);

    // A transfer begins: the clock starts and the first Show draws at once.
    void Start();
    // Draws the figures after `column` characters of the open line, when the
    // last drawing is old enough and the text differs from what is shown.
    void Show(const ProgressFigures& figures, unsigned column);
    // Removes what is drawn and puts the cursor back where the drawing began.
    void Erase();
    // Erases and draws nothing more until the next Start.
    void Stop();
    bool IsDrawn() const { return !m_drawn.empty(); }

private:
    bool IsDue(std::chrono::milliseconds now) const;
    std::string Fit(std::string text, unsigned column);
    std::string Backspaces() const { return std::string(m_drawn.size(), '\b'); }

    CProgressTerminal& m_terminal;
    CProgressClock& m_clock;
    bool m_bRunning = false;
    bool m_bDrawnSinceStart = false;
    std::chrono::milliseconds m_start{0};
    std::chrono::milliseconds m_lastDraw{0};
    std::string m_drawn;  // what stands on the screen now
};
