#include "fuzz/quiet_output.h"

#include <cstdio>

void SilenceStandardOutput()
{
    // libFuzzer reports on standard error, which stays as it is.
    if (std::freopen("/dev/null", "w", stdout) == nullptr)
        std::perror("freopen /dev/null");
}
