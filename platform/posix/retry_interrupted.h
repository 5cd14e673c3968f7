#pragma once

#include <cerrno>

namespace platform {

// Makes a system call that fails with -1 and errno again for as long as a
// signal interrupts it (EINTR); returns its last result, errno as it left it.
template <class SystemCall>
auto RetryInterrupted(SystemCall call)
{
    auto result = call();
    while (result < 0 && errno == EINTR)
        result = call();
    return result;
}

}  // namespace platform
