#include "platform/raw_volume.h"

#include <new>

#include "platform/win32/adopt_volume.h"
#include "platform/win32/volume_claim.h"

namespace platform {

namespace {

// One open drive, and what has been claimed of it; the lock ends with the handle.
struct Volume {
    HANDLE handle = INVALID_HANDLE_VALUE;
    bool claimedForReading = false;  // and locked
    bool claimedForWriting = false;
};

Volume& AsVolume(VolumeHandle handle)
{
    return *static_cast<Volume*>(handle);
}

// The seek takes a signed 32-bit distance; a medium of 2 GiB or more is no
// floppy, and a wrapped distance would move to the wrong sector.
bool SeekVolume(HANDLE handle, std::uint32_t offset)
{
    if (offset > static_cast<std::uint32_t>(MAXLONG)) {
        SetLastError(ERROR_NEGATIVE_SEEK);
        return false;
    }
    SetLastError(NO_ERROR);
    const DWORD position = SetFilePointer(handle, static_cast<LONG>(offset), nullptr, FILE_BEGIN);
    return position != INVALID_SET_FILE_POINTER || GetLastError() == NO_ERROR;
}

// Sends a control code that takes no buffers; keeps the last error as it was,
// since a refused lock is no failure of the transfer that follows.
bool VolumeControl(HANDLE handle, DWORD code)
{
    const DWORD lastError = GetLastError();
    DWORD returned = 0;
    const bool succeeded = DeviceIoControl(handle, code, nullptr, 0, nullptr, 0, &returned, nullptr) != FALSE;
    SetLastError(lastError);
    return succeeded;
}

// Windows refuses raw writes into a mounted file system: before the first
// write, lock the volume, or else dismount it. Reading only takes the lock
// when it can, so that nothing changes the disk while it is imaged.
void ClaimBeforeTransfer(Volume& volume, bool write)
{
    const auto lock = [&] { return VolumeControl(volume.handle, FSCTL_LOCK_VOLUME); };
    if (write && !volume.claimedForWriting) {
        volume.claimedForWriting = true;
        if (volume.claimedForReading)
            return;  // already locked
        ClaimForWriting(lock, [&] { return VolumeControl(volume.handle, FSCTL_DISMOUNT_VOLUME); });
    } else if (!write && !volume.claimedForReading && !volume.claimedForWriting) {
        volume.claimedForReading = ClaimForReading(lock) == VolumeClaim::Locked;
    }
}

}  // namespace

VolumeHandle AdoptVolume(HANDLE handle)
{
    auto* volume = new (std::nothrow) Volume{handle};
    if (volume == nullptr) {
        CloseHandle(handle);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    }
    return volume;
}

// The access stays the one the program always asked for; what a reading job
// claims of the volume is decided at its first transfer.
VolumeHandle OpenVolume(char driveLetter, VolumeAccess /*access*/)
{
    const char path[] = {'\\', '\\', '.', '\\', driveLetter, ':', '\0'};
    HANDLE handle = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    return handle == INVALID_HANDLE_VALUE ? nullptr : AdoptVolume(handle);
}

// On failure the volume stays open and may be closed again.
bool CloseVolume(VolumeHandle handle)
{
    if (CloseHandle(AsVolume(handle).handle) == FALSE)
        return false;
    delete &AsVolume(handle);
    return true;
}

bool GetVolumeGeometry(VolumeHandle handle, DiskGeometry& out)
{
    DISK_GEOMETRY geometry{};
    DWORD returned = 0;
    if (!DeviceIoControl(AsVolume(handle).handle, IOCTL_DISK_GET_DRIVE_GEOMETRY, nullptr, 0, &geometry,
                         sizeof geometry, &returned, nullptr))
        return false;
    out = {geometry.BytesPerSector, geometry.SectorsPerTrack, geometry.TracksPerCylinder,
           static_cast<std::uint32_t>(geometry.Cylinders.LowPart), static_cast<std::uint32_t>(geometry.MediaType)};
    return true;
}

// Seeks to `offset`, claims the volume for the transfer and makes it; a call
// that reports success but moved fewer bytes still failed the sector.
template <class Transfer>
bool TransferAt(VolumeHandle handle, std::uint32_t offset, bool write, std::uint32_t size, Transfer transfer)
{
    Volume& volume = AsVolume(handle);
    if (!SeekVolume(volume.handle, offset))
        return false;
    ClaimBeforeTransfer(volume, write);
    DWORD moved = 0;
    if (!transfer(volume.handle, moved))
        return false;
    if (moved != size) {
        SetLastError(write ? ERROR_WRITE_FAULT : ERROR_HANDLE_EOF);
        return false;
    }
    return true;
}

bool ReadVolume(VolumeHandle handle, std::uint32_t offset, void* target, std::uint32_t size)
{
    return TransferAt(handle, offset, false, size, [&](HANDLE volume, DWORD& got) {
        return ::ReadFile(volume, target, size, &got, nullptr) != FALSE;
    });
}

bool WriteVolume(VolumeHandle handle, std::uint32_t offset, const void* source, std::uint32_t size)
{
    return TransferAt(handle, offset, true, size, [&](HANDLE volume, DWORD& put) {
        return ::WriteFile(volume, source, size, &put, nullptr) != FALSE;
    });
}

// Raw volume reads bypass the file system's cache once the volume is locked or
// dismounted, which the first write saw to; flushing the handle makes sure no
// write still waits in the system. Windows offers no request that makes the
// drive or its driver forget a buffer of its own.
bool ForgetCachedSectors(VolumeHandle handle)
{
    return FlushFileBuffers(AsVolume(handle).handle) != FALSE;
}

}  // namespace platform
