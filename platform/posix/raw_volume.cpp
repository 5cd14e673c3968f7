#include <fcntl.h>
#include <linux/fd.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <utility>

#include "formats/floppy_layouts.h"
#include "platform/last_error.h"
#include "platform/posix/drive_discovery.h"
#include "platform/posix/stacked_devices.h"
#include "platform/posix/volume_path.h"
#include "platform/volume_claim.h"

namespace platform {

namespace {

constexpr std::size_t kDirectAlignment = 4096;

struct Volume {
    int descriptor = -1;
    bool blockDevice = false;  // O_DIRECT: every transfer through the bounce buffer
    bool readOnly = false;     // a write-protected medium, opened to be imaged
    void* bounce = nullptr;
    std::size_t bounceSize = 0;
    std::string path;
    bool writeChecked = false;  // the mounted-medium check ran and passed
};

Volume* AsVolume(VolumeHandle handle)
{
    return static_cast<Volume*>(handle);
}

int OpenRetrying(const std::string& path, int flags)
{
    int descriptor = -1;
    do {
        descriptor = open(path.c_str(), flags | O_CLOEXEC);
    } while (descriptor < 0 && errno == EINTR);
    return descriptor;
}

// Transfers through O_DIRECT need a buffer aligned to the device's blocks.
bool EnsureBounce(Volume& volume, std::size_t size)
{
    if (volume.bounceSize >= size)
        return true;
    void* buffer = nullptr;
    const std::size_t rounded = (size + kDirectAlignment - 1) / kDirectAlignment * kDirectAlignment;
    if (posix_memalign(&buffer, kDirectAlignment, rounded) != 0) {
        errno = ENOMEM;
        return false;
    }
    std::free(volume.bounce);
    volume.bounce = buffer;
    volume.bounceSize = rounded;
    return true;
}

// Media of a known size only: USB drives, other block devices, plain files.
bool GeometryFromCapacity(const Volume& volume, VolumeGeometry& out)
{
    std::uint64_t bytes = 0;
    if (volume.blockDevice) {
        if (ioctl(volume.descriptor, BLKGETSIZE64, &bytes) != 0)
            return false;
    } else {
        struct stat status {};
        if (fstat(volume.descriptor, &status) != 0)
            return false;
        bytes = static_cast<std::uint64_t>(status.st_size);
    }
    const StandardFloppy* floppy = StandardFloppyOfCapacity(bytes);
    if (floppy == nullptr) {
        errno = EMEDIUMTYPE;
        return false;
    }
    const FloppyLayout& layout = floppy->layout;
    out = {layout.bytesPerSector, layout.sectorsPerTrack, layout.heads, layout.cylinders, floppy->mediaType};
    return true;
}

// The floppy driver knows the format of the disk it holds; the drive's type
// name starts with a lower-case letter for a 5.25" drive.
bool GeometryFromFloppyDriver(const Volume& volume, const floppy_struct& parameters, VolumeGeometry& out)
{
    FloppyLayout layout;
    layout.bytesPerSector = 128u << FD_SIZECODE(&parameters);
    layout.sectorsPerTrack = parameters.sect;
    layout.heads = parameters.head;
    layout.cylinders = parameters.track;
    floppy_drive_name name{};
    const bool fiveAndAQuarter =
        ioctl(volume.descriptor, FDGETDRVTYP, name) == 0 && std::islower(static_cast<unsigned char>(name[0]));
    out = {layout.bytesPerSector, layout.sectorsPerTrack, layout.heads, layout.cylinders,
           MediaTypeForLayout(layout, fiveAndAQuarter)};
    return true;
}

// A block device that is mounted (or held exclusively by another program)
// refuses an exclusive open with EBUSY; our own open is not exclusive.
bool OpensExclusively(const std::string& path)
{
    const int probe = OpenRetrying(path, O_RDONLY | O_EXCL);
    if (probe < 0)
        return false;
    close(probe);
    return true;
}

// Deeper than any stack of devices anyone builds on a floppy.
constexpr int kMaxStackDepth = 8;

// A device counts as in use when anything stacked on it is, however deep: a
// loop device over the drive with a file system mounted on it claims only
// itself. A stacked device that cannot be probed (no node here, no right to
// open it) counts as in use: better a refusal than a corrupted file system.
bool IsStackInUse(const std::string& path, int depth)
{
    struct stat status {};
    if (depth > kMaxStackDepth || stat(path.c_str(), &status) != 0)
        return true;
    for (const std::string& name : StackedDevices(status.st_rdev, "/sys")) {
        const std::string node = "/dev/" + name;
        if (!OpensExclusively(node) || IsStackInUse(node, depth + 1))
            return true;
    }
    return false;
}

bool IsInUseByOthers(const Volume& volume)
{
    if (!OpensExclusively(volume.path))
        return errno == EBUSY;
    return IsStackInUse(volume.path, 0);
}

// The kernel lets writes through to a mounted floppy, and the file system's
// cache then overwrites what we wrote: refuse before the first sector.
bool CheckWritable(Volume& volume)
{
    if (volume.writeChecked || !volume.blockDevice)
        return true;
    if (!MayWriteBehindFileSystem([&] { return IsInUseByOthers(volume); })) {
        errno = EBUSY;
        return false;
    }
    volume.writeChecked = true;
    return true;
}

}  // namespace

int NormaliseMediumError(int error)
{
    return error == ENXIO ? ENOMEDIUM : error;
}

VolumeHandle OpenVolumePath(const std::string& path)
{
    struct stat status {};
    if (stat(path.c_str(), &status) != 0)
        return nullptr;
    auto* volume = new (std::nothrow) Volume;
    if (volume == nullptr) {
        errno = ENOMEM;
        return nullptr;
    }
    volume->blockDevice = S_ISBLK(status.st_mode);
    volume->path = path;
    // Never O_NONBLOCK: the floppy driver would then skip its write-protect check.
    const int direct = volume->blockDevice ? O_DIRECT : 0;
    volume->descriptor = OpenRetrying(path, O_RDWR | direct);
    if (volume->descriptor < 0 && (errno == EROFS || errno == EACCES)) {
        // A protected disk can still be imaged.
        volume->descriptor = OpenRetrying(path, O_RDONLY | direct);
        volume->readOnly = volume->descriptor >= 0;
    }
    // The kernel opens a write-protected block device read-write and refuses
    // each write with EPERM instead; ask it so that writes fail with EROFS.
    int protectedMedium = 0;
    if (volume->descriptor >= 0 && volume->blockDevice &&
        ioctl(volume->descriptor, BLKROGET, &protectedMedium) == 0 && protectedMedium != 0)
        volume->readOnly = true;
    if (volume->descriptor < 0) {
        const int error = NormaliseMediumError(errno);
        delete volume;
        errno = error;
        return nullptr;
    }
    return volume;
}

VolumeHandle OpenVolume(char driveLetter)
{
    const auto drives = DiscoverFloppyDrives("/sys", "/dev");
    const auto index = static_cast<std::size_t>(driveLetter - 'A');
    if (driveLetter < 'A' || index >= drives.size()) {
        errno = ENOENT;
        return nullptr;
    }
    return OpenVolumePath(drives[index]);
}

bool CloseVolume(VolumeHandle handle)
{
    Volume* volume = AsVolume(handle);
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
    std::free(volume->bounce);
    delete volume;
    return true;
}

bool GetVolumeGeometry(VolumeHandle handle, VolumeGeometry& out)
{
    const Volume& volume = *AsVolume(handle);
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
    ssize_t count = 0;
    do {
        count = transfer();
    } while (count < 0 && errno == EINTR);
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
    Volume& volume = *AsVolume(handle);
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
    Volume& volume = *AsVolume(handle);
    if (volume.readOnly) {
        errno = EROFS;
        return false;
    }
    if (!CheckWritable(volume))
        return false;
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
    const Volume& volume = *AsVolume(handle);
    if (!volume.blockDevice)
        return true;
    if (fsync(volume.descriptor) != 0 && errno != EINVAL) {
        errno = NormaliseMediumError(errno);
        return false;
    }
    int result = 0;
    do {
        result = ioctl(volume.descriptor, FDFLUSH);
    } while (result != 0 && errno == EINTR);
    if (result == 0 || errno == ENOTTY || errno == EINVAL)  // not the floppy driver
        return true;
    errno = NormaliseMediumError(errno);
    return false;
}

}  // namespace platform
