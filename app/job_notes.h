#pragma once

#include <cstddef>
#include <string>

#include "app/copy_options.h"
#include "task/job_outcome.h"

// The notes on standard error after a job on the image file `image`: how many
// sectors were skipped, and what a file that -d could not read as an image
// most likely is.
void NoteJobEnd(OperationMode mode, const std::string& image, JobOutcome outcome, std::size_t skippedSectors);

// The note after a run that did not name its image file: its default name.
void NoteDefaultImageName(const CopyOptions& options);
