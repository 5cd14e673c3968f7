#pragma once

#include "floppy/disk_device.h"

// After the drive of `volume` failed to open, with the system's error still
// the last one: notes the device that was tried and, when the system refused
// access to it, what the user can do.
void NoteDriveNotOpened(DriveVolume volume);
