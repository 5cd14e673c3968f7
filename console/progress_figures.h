#pragma once
// Where a disk transfer stands, as its live progress shows it.

#include <cstdint>

struct ProgressFigures {
    std::uint64_t done = 0;   // sectors visited so far
    std::uint64_t total = 0;  // sectors of the whole disk
    unsigned cylinder = 0;    // numbered as the console lines number them (from 1)
    unsigned head = 0;
    std::uint64_t skipped = 0;
    const char* skippedName = "skipped";  // what the count counts
};
