#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/console.h"
#include "platform/last_error.h"

namespace platform {

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

void Beep(unsigned /*frequencyHz*/, unsigned /*durationMs*/)
{
    // Standard output must stay exactly what the program prints, so the bell
    // goes to standard error, and only where someone can hear it.
    LastErrorGuard keep;
    if (isatty(STDERR_FILENO) == 1) {
        const char bell = '\a';
        [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, &bell, 1);
    }
}

void SleepMs(unsigned milliseconds)
{
    LastErrorGuard keep;
    timespec remaining{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L};
    while (nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
    }
}

}  // namespace platform
