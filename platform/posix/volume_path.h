#pragma once

#include <string>

#include "platform/raw_volume.h"

namespace platform {

// Opens the drive at `path`: the floppy driver, another block device (USB
// drive) or a plain file served like a USB drive. OpenVolume finds the path
// of a letter and calls this.
VolumeHandle OpenVolumePath(const std::string& path);

// The floppy driver says "no such device or address" for an empty drive;
// users and callers get "No medium found" from every kind of drive.
int NormaliseMediumError(int error);

}  // namespace platform
