#include "console/console_log.h"

#include <cstdarg>
#include <cstdio>

#include "console/console_screen.h"
#include "platform/last_error.h"

void CConsoleLog::Print(const std::string& text, bool sameLine) const
{
    // The caller may still want the error text of the call it just reported.
    platform::LastErrorGuard keepLastError;
    // Through the screen, which takes any progress off the open line first.
    CConsoleScreen::Instance().Write(sameLine ? text : "\n" + text);
}

void CConsoleLog::PrintError(const std::string& text) const
{
    Print("ERROR: " + text, false);
}

void CConsoleLog::PrintWarning(const std::string& text) const
{
    Print("Warning: " + text, false);
}

std::string LastErrorText()
{
    std::string text;
    if (!platform::GetSystemErrorText(platform::GetLastErrorCode(), text))
        text = "A general error has occured.";
    std::erase(text, '\n');
    std::erase(text, '\r');
    return text;
}

void CConsoleLog::BeginProgress() const
{
    CConsoleScreen::Instance().BeginProgress();
}

void CConsoleLog::ShowProgress(const ProgressFigures& figures) const
{
    CConsoleScreen::Instance().ShowProgress(figures);
}

void CConsoleLog::EndProgress() const
{
    CConsoleScreen::Instance().EndProgress();
}

bool CConsoleLog::CheckCancel() const
{
    const bool cancel = m_bCancel.load();
    if (cancel)
        Print("Cancelling all tasks...", false);
    return cancel;
}

void PrintNote(const std::string& text)
{
    platform::LastErrorGuard keepLastError;
    CConsoleScreen::Instance().WriteNote("mendarovel: " + text);
}

std::string FormatText(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    va_list measure;
    va_copy(measure, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    std::string text;
    if (length > 0) {
        // The string's own terminator takes the one vsnprintf writes.
        text.resize(static_cast<std::size_t>(length));
        std::vsnprintf(text.data(), text.size() + 1, format, arguments);
    }
    va_end(arguments);
    return text;
}
