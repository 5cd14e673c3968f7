// Every target starts by sending the program's console output to /dev/null:
// the fuzzer runs the code millions of times, and a terminal would cost more
// than the code under test. libFuzzer reports on standard error, which stays.

#include <cstdio>

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/)
{
    if (std::freopen("/dev/null", "w", stdout) == nullptr)
        std::perror("freopen /dev/null");
    return 0;
}
