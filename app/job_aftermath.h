#pragma once
// What follows a job: the record beside its image and its row in the log.

#include <string>

#include "app/job_run.h"
#include "task/job_outcome.h"
#include "task/job_report.h"

// The job about to run on the image file `image`, started now, as its record
// and its log row name it.
RunFacts StartRun(const JobContext& context, const std::string& image, const std::string& note);

// The job of `run` ended now: writes the record (when wanted and an image was
// written) and then the log row; either failing makes the job's exit status
// 2, with one line on standard error.
JobEnd FinishJob(const JobContext& context, RunFacts run, const JobReport& report, JobOutcome outcome);
