#pragma once

// Sends the program's console output to /dev/null: the fuzzer runs the code
// millions of times, and a terminal would cost more than the code under test.
void SilenceStandardOutput();
