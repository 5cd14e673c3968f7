#pragma once
// The record of a disk (-m, and every disk of a session): one JSON object
// beside its image, with the disk's facts, its hashes and every job that
// made or changed the image.

#include <string>

#include "task/job_report.h"

// The image's name with its extension replaced by .json (added when the
// final part of the name has none).
std::string RecordNameOf(const std::string& image);

// After `run` wrote its image file: a job "image" starts a new record, a
// "rescue" adds itself to the record there is (or starts one). False with
// `problem` (one line) when the record cannot be written; an existing record
// then stays as it was.
bool WriteDiskRecord(const RunFacts& run, const JobReport& report, std::string& problem);
