#pragma once
// Block devices built on another one: what holds it in sysfs (device mapper,
// software RAID) and the loop devices whose backing file it is, which the
// kernel lists nowhere else.

#include <sys/types.h>

#include <string>
#include <vector>

namespace platform {

// The names ("dm-0", "loop1") of the block devices stacked directly on
// `device`, as sysfs under `sysRoot` names them.
std::vector<std::string> StackedDevices(dev_t device, const std::string& sysRoot);

}  // namespace platform
