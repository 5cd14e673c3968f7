#pragma once
// What a job found out about the disk, for the record beside the image and
// the log: filled by the job when it is handed one, left alone otherwise.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "formats/disk_geometry.h"
#include "task/disk_digests.h"

class CDiskImage;

struct JobReport {
    bool hasRawDisk = false;  // the fields below the flags describe a raw disk
    bool imageWritten = false;  // -i: a new image; -i -r: the image was updated
    bool verifyFailed = false;  // -d -c: a sector read back other bytes or not at all
    DiskGeometry geometry;
    DiskDigests digests;  // of the raw disk
    std::vector<std::uint32_t> unreadable;  // 0-based sector indexes the image lists
    std::vector<std::uint32_t> fixed;       // read only at the second attempt
    std::vector<std::uint32_t> rescued;     // read by a rescue
    std::size_t failedSectors = 0;  // not read or not written by the job
};

// One job on the image, as the record's "runs" and the log keep it.
struct RunFacts {
    std::string job;  // image, rescue, restore
    std::vector<std::string> command;  // the arguments as given
    std::string drive;   // A: or B:
    std::string device;  // what was opened (the record's alone)
    std::string image;   // the image file's name as the user wrote it
    std::string note;
    std::string started, ended;  // UtcTimestamp()
    int exitStatus = 0;
};

// Notes the raw disk that `image` holds now, before it is compressed
// (hasRawDisk false when the hashes cannot be computed). Nothing to do
// without a report.
void NoteRawDisk(JobReport* report, const CDiskImage& image);
