#pragma once
// Raw access to a floppy drive's whole medium, one sector at a time.
//
// Every call reports success as a bool and, on failure, leaves the thread's
// last error (see last_error.h) describing the cause. Nothing here prints.

#include <cstdint>

#include "formats/disk_geometry.h"

namespace platform {

// Opaque handle of an open drive; nullptr means "not open".
using VolumeHandle = void*;

// What a job does with the drive it opens.
enum class VolumeAccess { Read, ReadWrite };

// Opens drive 'A' or 'B'. Linux: for reading only when the job only reads,
// so that imaging an original can never change it; for ReadWrite, read-only
// when the medium is write-protected. Windows: for reading and writing
// either way, as the system always opened it. Returns nullptr on failure.
VolumeHandle OpenVolume(char driveLetter, VolumeAccess access);

// Closes the handle. On failure the handle stays valid and may be closed
// again (Linux: a descriptor the system released anyway is not closed twice).
bool CloseVolume(VolumeHandle handle);

// Geometry of the medium now in the drive (the cylinder count is the low 32
// bits of the drive's, the media type a Windows MEDIA_TYPE code); `out` is
// untouched on failure.
bool GetVolumeGeometry(VolumeHandle handle, DiskGeometry& out);

// Transfers exactly `size` bytes at byte `offset` from the start of the medium,
// synchronously. A transfer that moves fewer bytes than asked is a failure.
bool ReadVolume(VolumeHandle handle, std::uint32_t offset, void* target, std::uint32_t size);
bool WriteVolume(VolumeHandle handle, std::uint32_t offset, const void* source, std::uint32_t size);

// Before reading back what was written: pushes the writes out to the drive and
// drops what the system and the drive's driver keep of the medium, as far as
// the platform lets us, so that the next reads come from the disk itself.
bool ForgetCachedSectors(VolumeHandle handle);

}  // namespace platform
