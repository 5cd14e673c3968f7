#include <cstdio>

#include "platform/console.h"
#include "platform/last_error.h"

namespace platform {

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

}  // namespace platform
