#include "console/console_screen.h"

#include <algorithm>
#include <string>

#include "platform/console.h"

namespace {

class StandardErrorTerminal : public CProgressTerminal {
public:
    void Write(std::string_view bytes) override { platform::WriteStandardError(bytes.data(), bytes.size()); }
    unsigned Columns() override { return platform::ProgressTerminalColumns(); }
};

class SteadyClock : public CProgressClock {
public:
    std::chrono::milliseconds Now() override
    {
        return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch());
    }
};

}  // namespace

CConsoleScreen& CConsoleScreen::Instance()
{
    static CConsoleScreen screen;
    return screen;
}

void CConsoleScreen::Write(std::string_view text)
{
    if (text.empty())
        return;
    const std::lock_guard<std::mutex> lock(m_lock);
    if (m_pMeter != nullptr)
        m_pMeter->Erase();
    (m_output != nullptr ? m_output : platform::WriteStandardOutput)(text.data(), text.size());
    const std::size_t lineBreak = text.rfind('\n');
    const std::size_t opened = lineBreak == std::string_view::npos ? m_column + text.size() : text.size() - lineBreak - 1;
    m_column = static_cast<unsigned>(std::min<std::size_t>(opened, 0xFFFF));
}

void CConsoleScreen::WriteNote(std::string_view line)
{
    const std::lock_guard<std::mutex> lock(m_lock);
    if (m_pMeter != nullptr)
        m_pMeter->Erase();
    std::string text = m_column > 0 && platform::StandardStreamsShareTerminal() ? "\n" : "";
    text.append(line).append("\n");
    (m_notes != nullptr ? m_notes : platform::WriteStandardError)(text.data(), text.size());
    // On the terminal both share, the open line has just been ended.
    m_column = 0;
}

// Decided once, at the first transfer: whether standard error can show
// progress does not change while the program runs.
CProgressMeter* CConsoleScreen::ChooseMeter()
{
    if (!m_bMeterChosen) {
        m_bMeterChosen = true;
        if (platform::PrepareProgressTerminal()) {
            static StandardErrorTerminal terminal;
            static SteadyClock clock;
            m_ownMeter = std::make_unique<CProgressMeter>(terminal, clock);
            m_pMeter = m_ownMeter.get();
        }
    }
    return m_pMeter;
}

void CConsoleScreen::BeginProgress()
{
    const std::lock_guard<std::mutex> lock(m_lock);
    if (CProgressMeter* meter = ChooseMeter())
        meter->Start();
}

void CConsoleScreen::ShowProgress(const ProgressFigures& figures)
{
    const std::lock_guard<std::mutex> lock(m_lock);
    if (m_pMeter != nullptr)
        m_pMeter->Show(figures, m_column);
}

void CConsoleScreen::EndProgress()
{
    const std::lock_guard<std::mutex> lock(m_lock);
    if (m_pMeter != nullptr)
        m_pMeter->Stop();
}

void CConsoleScreen::SendNotesTo(OutputWriter notes)
{
    const std::lock_guard<std::mutex> lock(m_lock);
    m_notes = notes;
}

void CConsoleScreen::UseForTests(CProgressMeter* meter, OutputWriter output)
{
    const std::lock_guard<std::mutex> lock(m_lock);
    m_output = output;
    m_pMeter = meter;
    m_bMeterChosen = true;
}
