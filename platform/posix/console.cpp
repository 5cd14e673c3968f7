#include <fcntl.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/console.h"
#include "platform/last_error.h"
#include "platform/posix/regular_file.h"
#include "platform/posix/retry_interrupted.h"

namespace platform {

namespace {

bool g_bStandardOutputWasClosed = false;

// Whether the descriptor is a terminal that takes escape sequences: one that
// calls itself dumb may not know erase-to-end-of-line.
bool TakesEscapeSequences(int descriptor)
{
    LastErrorGuard keep;
    const char* term = std::getenv("TERM");
    return isatty(descriptor) == 1 && term != nullptr && *term != '\0' && std::strcmp(term, "dumb") != 0;
}

}  // namespace

bool PrepareStandardStreams()
{
    for (int stream = STDIN_FILENO; stream <= STDERR_FILENO; ++stream) {
        if (fcntl(stream, F_GETFD) != -1 || errno != EBADF)
            continue;
        g_bStandardOutputWasClosed = g_bStandardOutputWasClosed || stream == STDOUT_FILENO;
        const int opened =
            RetryInterrupted([&] { return open("/dev/null", stream == STDIN_FILENO ? O_RDONLY : O_WRONLY); });
        // The lowest free number: the one just found closed.
        if (opened != stream) {
            if (opened >= 0)
                close(opened);
            return false;
        }
    }
    // The console lines are a report, not the job's product: a reader of them
    // that quits must not end a restore half-way.
    return signal(SIGPIPE, SIG_IGN) != SIG_ERR;
}

bool StandardOutputWasClosed()
{
    return g_bStandardOutputWasClosed;
}

void PrepareStandardOutput()
{
    std::setvbuf(stdout, nullptr, _IONBF, 0);
}

void WriteStandardOutput(const char* data, std::size_t size)
{
    LastErrorGuard keep;
    if (size != 0)
        std::fwrite(data, 1, size, stdout);
}

bool MakeStandardOutputBinary()
{
    return true;  // no text mode here
}

bool StandardOutputIsTerminal()
{
    const LastErrorGuard keep;
    return isatty(STDOUT_FILENO) == 1;
}

bool StandardStreamsShareTerminal()
{
    const LastErrorGuard keep;
    struct stat output {};
    struct stat error {};
    return isatty(STDOUT_FILENO) == 1 && isatty(STDERR_FILENO) == 1 && fstat(STDOUT_FILENO, &output) == 0 &&
           fstat(STDERR_FILENO, &error) == 0 && output.st_rdev == error.st_rdev;
}

bool PrepareProgressTerminal()
{
    return TakesEscapeSequences(STDERR_FILENO);
}

bool PrepareColourOutput()
{
    return std::getenv("NO_COLOR") == nullptr && TakesEscapeSequences(STDOUT_FILENO);
}

unsigned ProgressTerminalColumns()
{
    LastErrorGuard keep;
    winsize size{};
    if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) != 0)
        return 0;
    return size.ws_col;
}

void WriteStandardError(const char* data, std::size_t size)
{
    // Unbuffered and partial writes resumed, so the drawing is never torn
    // between two lines of standard output.
    LastErrorGuard keep;
    WriteFile(Handle(STDERR_FILENO), data, size);
}

void Beep(unsigned /*frequencyHz*/, unsigned /*durationMs*/)
{
    // Standard output must stay exactly what the program prints, so the bell
    // goes to standard error, and only where someone can hear it.
    LastErrorGuard keep;
    if (isatty(STDERR_FILENO) == 1)
        WriteStandardError("\a", 1);
}

void SleepMs(unsigned milliseconds)
{
    LastErrorGuard keep;
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace platform
