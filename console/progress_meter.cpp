#include "console/progress_meter.h"

#include <cstdio>

namespace {

constexpr std::string_view kEraseToEndOfLine = "\x1b[K";

std::string FormatElapsed(std::chrono::milliseconds elapsed)
{
    const auto seconds = static_cast<unsigned long long>(std::chrono::duration_cast<std::chrono::seconds>(elapsed).count());
    char text[32];
    if (seconds >= 3600)
        std::snprintf(text, sizeof text, "%llu:%02llu:%02llu", seconds / 3600, seconds / 60 % 60, seconds % 60);
    else
        std::snprintf(text, sizeof text, "%llu:%02llu", seconds / 60, seconds % 60);
    return text;
}

}  // namespace

std::string FormatProgress(const ProgressFigures& figures, std::chrono::milliseconds elapsed)
{
    // Rounded down, so 100% means every sector was visited.
    const std::uint64_t percent = figures.total == 0 ? 0 : figures.done * 100 / figures.total;
    char text[96];
    std::snprintf(text, sizeof text, " %3llu%% cyl %u head %u, %llu %.16s, ", static_cast<unsigned long long>(percent),
                  figures.cylinder, figures.head, static_cast<unsigned long long>(figures.skipped), figures.skippedName);
    return text + FormatElapsed(elapsed);
}

CProgressMeter::CProgressMeter(CProgressTerminal& terminal, CProgressClock& clock)
    : m_terminal(terminal), m_clock(clock)
{
}

void CProgressMeter::Start()
{
    Erase();
    m_bRunning = true;
    m_bDrawnSinceStart = false;
    m_start = m_clock.Now();
}

bool CProgressMeter::IsDue(std::chrono::milliseconds now) const
{
    return !m_bDrawnSinceStart || now - m_lastDraw >= kMinInterval;
}

// The drawing must never reach the last column: a wrapped line cannot be
// taken back with backspaces.
std::string CProgressMeter::Fit(std::string text, unsigned column)
{
    unsigned columns = m_terminal.Columns();
    if (columns == 0)
        columns = kDefaultColumns;
    const unsigned used = column % columns;
    const std::size_t room = columns - used - 1;
    if (text.size() > room)
        text.resize(room);
    return text;
}

void CProgressMeter::Show(const ProgressFigures& figures, unsigned column)
{
    if (!m_bRunning)
        return;
    const std::chrono::milliseconds now = m_clock.Now();
    if (!IsDue(now))
        return;
    const std::string text = Fit(FormatProgress(figures, now - m_start), column);
    if (text == m_drawn)
        return;  // unchanged, or no room to draw
    std::string bytes = Backspaces() + text;
    if (text.size() < m_drawn.size())
        bytes += kEraseToEndOfLine;
    m_terminal.Write(bytes);
    m_drawn = text;
    m_lastDraw = now;
    m_bDrawnSinceStart = true;
}

void CProgressMeter::Erase()
{
    if (m_drawn.empty())
        return;
    m_terminal.Write(Backspaces() + std::string(kEraseToEndOfLine));
    m_drawn.clear();
}

void CProgressMeter::Stop()
{
    Erase();
    m_bRunning = false;
}
