#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/console.h"
#include "platform/file.h"
#include "platform/last_error.h"
#include "platform/win32/win32_api.h"

// Older SDK headers lack it; consoles before Windows 10 refuse it.
#ifndef ENABLE_VIRTUAL_TERMINAL_PROCESSING
#define ENABLE_VIRTUAL_TERMINAL_PROCESSING 0x0004
#endif

namespace platform {

namespace {

// Whether the stream is a console that takes escape sequences (without
// virtual-terminal processing they would show as text); false when redirected.
bool PrepareEscapeSequences(DWORD stream)
{
    const LastErrorGuard keep;
    const HANDLE handle = GetStdHandle(stream);
    DWORD mode = 0;
    if (handle == INVALID_HANDLE_VALUE || handle == nullptr || GetConsoleMode(handle, &mode) == FALSE)
        return false;
    return (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0 ||
           SetConsoleMode(handle, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != FALSE;
}

}  // namespace

// Files are opened as handles, never as the runtime's descriptors, so none
// can take the place of a missing standard stream; and a write to a closed
// pipe fails without ending the process.
bool PrepareStandardStreams()
{
    return true;
}

// A process started without standard output has no handle for it.
bool StandardOutputWasClosed()
{
    const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    return output == nullptr || output == INVALID_HANDLE_VALUE;
}

// The runtime's text mode stays on: a "\n" reaches the console, or a file
// standard output is redirected to, as CR LF.
void PrepareStandardOutput()
{
    std::setvbuf(stdout, nullptr, _IONBF, 0);
}

void WriteStandardOutput(const char* data, std::size_t size)
{
    // The callers print "failed" between a failing call and the text of its error.
    const LastErrorGuard keep;
    std::fwrite(data, 1, size, stdout);
}

bool MakeStandardOutputBinary()
{
    const LastErrorGuard keep;
    return _setmode(_fileno(stdout), _O_BINARY) != -1;
}

bool StandardOutputIsTerminal()
{
    const LastErrorGuard keep;
    return GetFileType(GetStdHandle(STD_OUTPUT_HANDLE)) == FILE_TYPE_CHAR;
}

bool StandardStreamsShareTerminal()
{
    const LastErrorGuard keep;
    return StandardOutputIsTerminal() && GetFileType(GetStdHandle(STD_ERROR_HANDLE)) == FILE_TYPE_CHAR;
}

bool PrepareProgressTerminal()
{
    return PrepareEscapeSequences(STD_ERROR_HANDLE);
}

bool PrepareColourOutput()
{
    return std::getenv("NO_COLOR") == nullptr && PrepareEscapeSequences(STD_OUTPUT_HANDLE);
}

unsigned ProgressTerminalColumns()
{
    const LastErrorGuard keep;
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (GetConsoleScreenBufferInfo(GetStdHandle(STD_ERROR_HANDLE), &info) == FALSE)
        return 0;
    return static_cast<unsigned>(info.srWindow.Right - info.srWindow.Left + 1);
}

// Text, as the runtime writes standard output: each "\n" goes out as CR LF,
// so that a redirected standard error holds Windows lines too.
void WriteStandardError(const char* bytes, std::size_t length)
{
    const LastErrorGuard keep;
    std::string text;
    text.reserve(length + 8);
    for (const char c : std::string_view(bytes, length)) {
        if (c == '\n')
            text += '\r';
        text += c;
    }
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), text.data(), text.size());
}

void Beep(unsigned frequencyHz, unsigned durationMs)
{
    ::Beep(frequencyHz, durationMs);
}

void SleepMs(unsigned milliseconds)
{
    ::Sleep(milliseconds);
}

}  // namespace platform
