#pragma once
// What a job found out about the disk, for the record beside the image and
// the log: filled by the job when it is handed one, left alone otherwise.

#include <cstddef>
#include <cstdint>
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

// Notes the raw disk that `image` holds now, before it is compressed; false
// when the hashes cannot be computed. Nothing to do without a report.
bool NoteRawDisk(JobReport* report, const CDiskImage& image);
