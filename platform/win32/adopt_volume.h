#pragma once

#include "platform/raw_volume.h"
#include "platform/win32/win32_api.h"

namespace platform {

// Serves an open system handle (a drive, or a plain file in the tests) as a
// volume, which owns it from then on; OpenVolume opens the drive and calls
// this. Returns nullptr, with the handle closed, when memory runs out.
VolumeHandle AdoptVolume(HANDLE handle);

}  // namespace platform
