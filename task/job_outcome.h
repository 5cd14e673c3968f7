#pragma once

// How a job ended.
enum class JobOutcome {
    Completed,           // every sector was transferred
    CompletedWithSkips,  // ran to its end, but sectors were skipped
    Failed,              // failed or cancelled
};

// Exit status of the program: 0 done, 1 no job, 2 failed, 3 sectors skipped.
constexpr int kExitNoJob = 1;
constexpr int ExitStatusFor(JobOutcome outcome)
{
    switch (outcome) {
    case JobOutcome::Completed: return 0;
    case JobOutcome::CompletedWithSkips: return 3;
    case JobOutcome::Failed: break;
    }
    return 2;
}
