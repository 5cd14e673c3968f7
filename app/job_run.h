#pragma once
// One job of a run with what it leaves beside the image: its record and its
// log row.

#include <string>
#include <vector>

#include "app/copy_options.h"
#include "task/job_log.h"

// How a job went, as its run, and a session, count it.
struct JobEnd {
    int exitStatus = 2;
    bool started = true;          // false: a Ctrl-C came before it could start
    bool skippedSectors = false;  // the image lists unreadable sectors, or sectors were not written
};

// What a run hands to each of its jobs.
struct JobContext {
    const CopyOptions& options;
    const std::vector<std::string>& command;  // the arguments as given
    CJobLog* log = nullptr;                   // null without -l
    bool record = false;                      // write the record beside the image
};

// Runs the job of `context.options` on the image file `image`, then writes
// the record (when asked and an image was written) and the log row. `note`
// is the disk's note from a session's prompt.
JobEnd RunJob(const JobContext& context, const std::string& image, const std::string& note);

// Installs the Ctrl-C handler unless that was done; RunJob does it once its
// job is published, a session before its first prompt.
void InstallHandlerOnce();

// Prints "mendarovel: SUBJECT: WHAT" on standard error.
void PrintRefusal(const std::string& subject, const std::string& what);
