#pragma once
// The console that the job, its objects and the Ctrl-C handler share: their
// lines on standard output, and live progress on standard error that is
// always erased before a line is printed, so it never shows in the lines.

#include <cstddef>
#include <memory>
#include <mutex>
#include <string_view>

#include "console/progress_meter.h"

class CConsoleScreen {
public:
    using OutputWriter = void (*)(const char* data, std::size_t size);

    // The one screen of the process.
    static CConsoleScreen& Instance();

    // Erases the progress, then writes the text unchanged to standard output.
    // Safe from any thread.
    void Write(std::string_view text);

    // A note to the user on standard error, after the progress is erased: the
    // line ends with a line break, and on a terminal that standard output
    // shares, starts on a line of its own when one of standard output is open.
    void WriteNote(std::string_view line);

    // A disk transfer begins and ends; progress shows in between when standard
    // error is a terminal that can show it.
    void BeginProgress();
    void ShowProgress(const ProgressFigures& figures);
    void EndProgress();

    // The notes go there instead of standard error (a fuzzer's notes, for
    // one, would drown its report); null gives them back.
    void SendNotesTo(OutputWriter notes);

    // Tests draw through their own meter (null: no progress at all) and see
    // standard output (null: the real one).
    void UseForTests(CProgressMeter* meter, OutputWriter output);

private:
    CConsoleScreen() = default;
    CProgressMeter* ChooseMeter();

    std::mutex m_lock;
    OutputWriter m_output = nullptr;
    OutputWriter m_notes = nullptr;
    CProgressMeter* m_pMeter = nullptr;  // null: no progress on this console
    bool m_bMeterChosen = false;
    std::unique_ptr<CProgressMeter> m_ownMeter;
    unsigned m_column = 0;  // characters of the open line of standard output
};
