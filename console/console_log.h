#pragma once
// The console reporter that every object of a job prints through, and the
// cancel flag each such object carries.
//
// Line discipline: a message that begins something new is printed with
// sameLine false and so starts with a line break; nothing ever ends with one.

#include <atomic>
#include <string>

#include "console/progress_figures.h"

class CConsoleLog {
public:
    CConsoleLog() = default;
    virtual ~CConsoleLog() = default;
    CConsoleLog(const CConsoleLog&) = delete;
    CConsoleLog& operator=(const CConsoleLog&) = delete;

    // Writes "\n" first unless sameLine, then the text byte for byte (a percent
    // sign is never a directive). Leaves the last error as it found it.
    void Print(const std::string& text, bool sameLine) const;
    void PrintError(const std::string& text) const;
    void PrintWarning(const std::string& text) const;

    // Live progress of a disk transfer, shown between Begin and End where
    // the console can show it.
    void BeginProgress() const;
    void ShowProgress(const ProgressFigures& figures) const;
    void EndProgress() const;

    // The cancel flag; when set, first prints "Cancelling all tasks...".
    bool CheckCancel() const;

    // Set from the Ctrl-C handler's thread, read on the job's thread.
    std::atomic<bool> m_bCancel{false};
};

// The system's text for the calling thread's last error, as one line; "A
// general error has occured." when the system has none.
std::string LastErrorText();

// A note to the user, "mendarovel: TEXT", on standard error: standard output
// carries the job's lines alone.
void PrintNote(const std::string& text);

// Formats a message with printf directives (for the few texts that carry
// numbers) into a string that Print then writes literally.
std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));
