#pragma once
// Lines typed on standard input, such as the answer to a prompt, read so that
// Ctrl-C can end the wait.

#include <atomic>
#include <string>

namespace platform {

enum class InputLine {
    Read,         // `line` holds the line, without its line break
    Ended,        // end of input (or it cannot be read) before any character
    Interrupted,  // `stop` was set while waiting
};

// Reads one line from standard input, byte by byte so that nothing after it
// is taken from a reader that others share. Returns Interrupted as soon as
// `stop` is seen set (within a tenth of a second); a last line without a
// line break is still a line.
InputLine ReadStandardInputLine(std::string& line, const std::atomic<bool>& stop);

}  // namespace platform
