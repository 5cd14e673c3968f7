#pragma once

#include <cstddef>

#include "app/copy_options.h"
#include "task/job_outcome.h"

// The notes on standard error after a job: how many sectors were skipped, the
// image file when the command line did not name it, and what a file that -d
// could not read as an image most likely is.
void NoteJobEnd(const CopyOptions& options, JobOutcome outcome, std::size_t skippedSectors);
