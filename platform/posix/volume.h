#pragma once
// One open drive as the Linux binding keeps it behind a VolumeHandle, and
// how it is opened.

#include <cstddef>
#include <string>

#include "platform/raw_volume.h"

namespace platform {

struct Volume {
    int descriptor = -1;
    bool blockDevice = false;  // O_DIRECT: every transfer through the bounce buffer
    bool readOnly = false;     // opened to be imaged, or a write-protected medium
    void* bounce = nullptr;
    std::size_t bounceSize = 0;
    std::string path;
    bool writeChecked = false;  // the mounted-medium check ran and passed
    int layoutDescriptor = -1;  // opened for ioctls alone, while we set the driver's layout
};

inline Volume& AsVolume(VolumeHandle handle)
{
    return *static_cast<Volume*>(handle);
}

// open() with O_CLOEXEC, again when a signal interrupted it.
int OpenRetrying(const std::string& path, int flags);

// Transfers through O_DIRECT need a buffer aligned to the device's blocks:
// makes the volume's bounce buffer hold at least `size` bytes (ENOMEM).
bool EnsureBounce(Volume& volume, std::size_t size);

// Opens the drive at `path`: the floppy driver, another block device (USB
// drive) or a plain file served like a USB drive. OpenVolume finds the path
// of a letter and calls this.
VolumeHandle OpenVolumePath(const std::string& path, VolumeAccess access = VolumeAccess::ReadWrite);

// The floppy driver says "no such device or address" for an empty drive;
// users and callers get "No medium found" from every kind of drive.
int NormaliseMediumError(int error);

}  // namespace platform
