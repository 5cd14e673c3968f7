#pragma once

#include <cstdint>

// The floppy drive of a job, as the command line chose it.
enum DriveVolume : std::int32_t {
    VolumeNone = 20,
    VolumeA = 21,
    VolumeB = 22,
};
