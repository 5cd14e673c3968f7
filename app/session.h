#pragma once
// -b: a session, disk after disk from prompts on standard output, each
// answered with one line on standard input.

#include "app/job_run.h"

// -i -b images each disk into the next free numbered name (see
// session_names.h) and writes its record; -d -b writes the one image onto
// disk after disk. Ends at "q", at the end of input or at Ctrl-C, with one
// summary line. Returns the exit status: 2 when any job failed or the
// session was cancelled, else 3 when any sectors were skipped, else 0.
int RunSession(const JobContext& context);
