#pragma once

#include <cstdint>

// The job of a run, as the command line chose it.
enum OperationMode : std::int32_t {
    OpNone = 10,
    OpImageFromDisk = 11,  // -i
    OpDiskFromImage = 12,  // -d
    OpRescueImage = 13,    // -i -r
};

// How a job ended; the program's exit status is made from it.
enum class JobOutcome {
    Completed,           // every sector was transferred
    CompletedWithSkips,  // ran to its end, but sectors were skipped
    Failed,              // failed or cancelled
};
