#include <linux/fd.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "formats/floppy_layouts.h"
#include "platform/drive_device.h"
#include "platform/posix/device_in_use.h"
#include "platform/posix/floppy_driver_layout.h"
#include "platform/posix/regular_file.h"
#include "platform/posix/retry_interrupted.h"
#include "platform/posix/volume.h"

namespace platform {

namespace {

// Media of a known size only: USB drives, other block devices, plain files.
bool GeometryFromCapacity(const Volume& volume, DiskGeometry& out)
{
    std::uint64_t bytes = 0;
    const bool sized = volume.blockDevice ? ioctl(volume.descriptor, BLKGETSIZE64, &bytes) == 0
                                          : GetFileLength(Handle(volume.descriptor), bytes);
    if (!sized)
        return false;
    const StandardFloppy* floppy = StandardFloppyOfCapacity(bytes);
    if (floppy == nullptr) {
        errno = EMEDIUMTYPE;
        return false;
    }
    out = floppy->geometry;
    return true;
}

}  // namespace

VolumeHandle OpenVolume(char driveLetter, VolumeAccess access)
{
    const std::string path = DriveDevicePath(driveLetter);
    if (path.empty()) {
        errno = ENOENT;
        return nullptr;
    }
    return OpenVolumePath(path, access);
}

bool CloseVolume(VolumeHandle handle)
{
    Volume* volume = &AsVolume(handle);
    // What was written must be on the medium before we call the job done.
    if (volume->descriptor >= 0) {
        if (!volume->readOnly && fsync(volume->descriptor) != 0 && errno != EINVAL)
            return false;
        // Linux releases the descriptor even when close fails, and its number
        // may soon be another file's: it is never closed a second time. The
        // failure is reported; closing again only releases the rest.
        const int closed = close(std::exchange(volume->descriptor, -1));
        if (closed != 0 && errno != EINTR)
            return false;
    }
    ClearFloppyDriverLayout(*volume);
    std::free(volume->bounce);
    delete volume;
    return true;
}

bool GetVolumeGeometry(VolumeHandle handle, DiskGeometry& out)
{
    Volume& volume = AsVolume(handle);
    floppy_struct parameters{};
    if (volume.blockDevice && ioctl(volume.descriptor, FDGETPRM, &parameters) == 0)
        return GeometryFromFloppyDriver(volume, parameters, out);
    if (volume.blockDevice && errno != ENOTTY && errno != EINVAL) {
        errno = NormaliseMediumError(errno == ENODEV ? ENXIO : errno);
        return false;
    }
    return GeometryFromCapacity(volume, out);
}

// One sector: exactly `size` bytes at `offset`, or a failure. A short read or
// write (end of the medium) fails with EIO; an interrupted call is repeated.
template <class Transfer>
bool TransferExactly(Transfer transfer, std::uint32_t size)
{
    const ssize_t count = RetryInterrupted(transfer);
    if (count < 0) {
        errno = NormaliseMediumError(errno);
        return false;
    }
    if (static_cast<std::uint32_t>(count) != size) {
        errno = EIO;
        return false;
    }
    return true;
}

bool ReadVolume(VolumeHandle handle, std::uint32_t offset, void* target, std::uint32_t size)
{
    Volume& volume = AsVolume(handle);
    if (volume.blockDevice && !EnsureBounce(volume, size))
        return false;
    void* buffer = volume.blockDevice ? volume.bounce : target;
    if (!TransferExactly([&] { return pread(volume.descriptor, buffer, size, static_cast<off_t>(offset)); }, size))
        return false;
    if (volume.blockDevice)
        std::memcpy(target, volume.bounce, size);
    return true;
}

bool WriteVolume(VolumeHandle handle, std::uint32_t offset, const void* source, std::uint32_t size)
{
    Volume& volume = AsVolume(handle);
    if (volume.readOnly) {
        errno = EROFS;
        return false;
    }
    // The kernel lets writes through to a mounted floppy, and the file system's
    // cache then overwrites what we wrote: refuse before the first sector.
    if (volume.blockDevice && !volume.writeChecked) {
        if (IsInUseByOthers(volume.path)) {
            errno = EBUSY;
            return false;
        }
        volume.writeChecked = true;
    }
    if (volume.blockDevice) {
        if (!EnsureBounce(volume, size))
            return false;
        std::memcpy(volume.bounce, source, size);
    }
    const void* buffer = volume.blockDevice ? volume.bounce : source;
    return TransferExactly([&] { return pwrite(volume.descriptor, buffer, size, static_cast<off_t>(offset)); }, size);
}

// Reads are O_DIRECT already, so the page cache is out of the way. fsync asks
// a drive with a write cache (USB) to put the sectors on the medium; the
// floppy driver documents FDFLUSH for verifying: it drops its track buffer.
// A USB drive's own read buffer is beyond our reach.
bool ForgetCachedSectors(VolumeHandle handle)
{
    const Volume& volume = AsVolume(handle);
    if (!volume.blockDevice)
        return true;
    if (fsync(volume.descriptor) != 0 && errno != EINVAL) {
        errno = NormaliseMediumError(errno);
        return false;
    }
    const int result = RetryInterrupted([&] { return ioctl(volume.descriptor, FDFLUSH); });
    if (result == 0 || errno == ENOTTY || errno == EINVAL)  // not the floppy driver
        return true;
    errno = NormaliseMediumError(errno);
    return false;
}

}  // namespace platform
