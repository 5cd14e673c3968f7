#pragma once

#include <linux/fd.h>

#include "formats/disk_geometry.h"
#include "platform/posix/volume.h"

namespace platform {

// The geometry of the disk in a floppy driver's drive, from the driver's own
// parameters and, where it misreads the format (DMF and the 21-sector
// formats), from the disk's boot sector: the driver is then set to that
// layout until the volume is closed. False (EMEDIUMTYPE) when the boot sector
// declares more sectors than any layout the drive can be set to.
bool GeometryFromFloppyDriver(Volume& volume, const floppy_struct& parameters, DiskGeometry& out);

// Gives the drive back its autodetection, if we set a layout.
void ClearFloppyDriverLayout(Volume& volume);

}  // namespace platform
