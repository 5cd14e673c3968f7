#pragma once
// What follows a job: the record beside its image and its row in the log.

#include <string>

#include "app/job_run.h"
#include "task/job_outcome.h"
#include "task/job_report.h"

struct JobAftermath {
    const JobContext& context;
    const std::string& image;
    const std::string& note;
    const JobReport& report;
    std::string started, ended;  // UtcTimestamp()
};

// Writes the record (when wanted and an image was written) and then the log
// row; either failing makes the job's exit status 2, with one line on
// standard error.
JobEnd FinishJob(const JobAftermath& job, JobOutcome outcome);
