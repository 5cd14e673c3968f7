#pragma once
// The record of a disk (-m, and every disk of a session): one JSON object
// beside its image, with the disk's facts, its hashes and every job that
// made or changed the image.

#include <string>
#include <vector>

#include "task/job_report.h"

// One job on the image, as the record's "runs" keeps it.
struct RunFacts {
    std::string job;  // image or rescue
    std::vector<std::string> command;  // the arguments as given
    std::string drive;   // A: or B:
    std::string device;  // what was opened
    std::string started, ended;  // UtcTimestamp()
    int exitStatus = 0;
};

// The image's name with its extension replaced by .json (added when the
// final part of the name has none).
std::string RecordNameOf(const std::string& image);

// After `run` wrote the image file `image` (as named by the user): a job
// "image" starts a new record, a "rescue" adds itself to the record there
// is (or starts one). False with `problem` (one line) when the record cannot
// be written; an existing record then stays as it was.
bool WriteDiskRecord(const std::string& image, const std::string& note, const JobReport& report, const RunFacts& run,
                     std::string& problem);
