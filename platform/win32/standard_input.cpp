#include "platform/standard_input.h"

#include "platform/win32/win32_api.h"

namespace platform {

namespace {

// How long one wait for input lasts before `stop` is looked at again.
constexpr DWORD kStopCheckMs = 100;

enum class Byte { Read, Ended, Again };

// A pipe is read only once it holds something, so that `stop` is seen while
// it is empty; a console, a file and a pipe that cannot be peeked into are
// read at once. A console read that Ctrl-C cut short is one more look at `stop`.
Byte ReadByte(HANDLE input, char& byte)
{
    DWORD waiting = 0;
    if (GetFileType(input) == FILE_TYPE_PIPE && PeekNamedPipe(input, nullptr, 0, nullptr, &waiting, nullptr) &&
        waiting == 0) {
        Sleep(kStopCheckMs);
        return Byte::Again;
    }
    DWORD count = 0;
    if (!::ReadFile(input, &byte, 1, &count, nullptr)) {
        if (GetLastError() != ERROR_OPERATION_ABORTED)
            return Byte::Ended;
        Sleep(kStopCheckMs);
        return Byte::Again;
    }
    return count == 1 ? Byte::Read : Byte::Ended;
}

}  // namespace

InputLine ReadStandardInputLine(std::string& line, const std::atomic<bool>& stop)
{
    line.clear();
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    for (;;) {
        if (stop.load())
            return InputLine::Interrupted;
        char byte = 0;
        const Byte got = (input == nullptr || input == INVALID_HANDLE_VALUE) ? Byte::Ended : ReadByte(input, byte);
        if (got == Byte::Again)
            continue;
        if (got == Byte::Ended) {
            // Ctrl-C ends a console read with nothing read; its handler may
            // not have set `stop` yet.
            Sleep(kStopCheckMs);
            if (stop.load())
                return InputLine::Interrupted;
            return line.empty() ? InputLine::Ended : InputLine::Read;
        }
        if (byte == '\n')
            break;
        line += byte;
    }
    // A console's lines end in CR LF.
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return InputLine::Read;
}

}  // namespace platform
