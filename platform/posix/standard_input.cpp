#include "platform/standard_input.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>

namespace platform {

namespace {

// How long one wait for input lasts before `stop` is looked at again.
constexpr int kStopCheckMs = 100;

}  // namespace

InputLine ReadStandardInputLine(std::string& line, const std::atomic<bool>& stop)
{
    line.clear();
    for (;;) {
        if (stop.load())
            return InputLine::Interrupted;
        pollfd input{STDIN_FILENO, POLLIN, 0};
        if (poll(&input, 1, kStopCheckMs) <= 0)
            continue;
        char byte = 0;
        const ssize_t count = read(STDIN_FILENO, &byte, 1);
        if (count < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (count <= 0)
            return line.empty() ? InputLine::Ended : InputLine::Read;
        if (byte == '\n')
            return InputLine::Read;
        line += byte;
    }
}

}  // namespace platform
