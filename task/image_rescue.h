#pragma once

#include <string>

#include "console/console_log.h"
#include "floppy/disk_image.h"
#include "task/job_outcome.h"

class CDiskDevice;

// -i -r: re-reads the sectors the image file `name` lists as unreadable from
// the disk in the open drive and replaces the file with the merged image,
// only when at least one sector was rescued. `job` prints the job's lines and
// carries its cancel flag; `image` holds the disk meanwhile.
JobOutcome RescueImage(const CConsoleLog& job, CDiskImage& image, CDiskDevice& device, const std::string& name);
