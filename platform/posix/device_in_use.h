#pragma once

#include <string>

namespace platform {

// True when anyone else uses the block device at `path`: a mounted file
// system or a program that holds it exclusively, on the device itself or on
// anything stacked on it (device mapper, software RAID, a loop device over
// it), however deep. A stacked device that cannot be probed (no node here, no
// right to open it) counts as in use: better a refusal than a corrupted file
// system.
bool IsInUseByOthers(const std::string& path);

}  // namespace platform
