#include "platform/raw_volume.h"

#include <map>
#include <mutex>

#include "platform/volume_claim.h"
#include "platform/win32/win32_api.h"

namespace platform {

namespace {

HANDLE ToHandle(VolumeHandle handle) { return static_cast<HANDLE>(handle); }

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

// A call that reports success but moved fewer bytes still failed the sector.
bool WholeTransfer(BOOL succeeded, DWORD moved, std::uint32_t size, DWORD shortError)
{
    if (!succeeded)
        return false;
    if (moved != size) {
        SetLastError(shortError);
        return false;
    }
    return true;
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

// What has been claimed of each open volume; the lock ends with the handle.
struct Claims {
    bool forReading = false;
    bool forWriting = false;
};
std::mutex g_claimsLock;
std::map<HANDLE, Claims> g_claims;

// Windows refuses raw writes into a mounted file system: before the first
// write, lock the volume, or else dismount it. Reading only takes the lock
// when it can, so that nothing changes the disk while it is imaged.
void ClaimBeforeTransfer(HANDLE handle, bool write)
{
    std::lock_guard<std::mutex> lock(g_claimsLock);
    Claims& claims = g_claims[handle];
    if (write && !claims.forWriting) {
        claims.forWriting = true;
        if (claims.forReading)
            return;  // already locked
        ClaimForWriting([&] { return VolumeControl(handle, FSCTL_LOCK_VOLUME); },
                        [&] { return VolumeControl(handle, FSCTL_DISMOUNT_VOLUME); });
    } else if (!write && !claims.forReading && !claims.forWriting) {
        claims.forReading = ClaimForReading([&] { return VolumeControl(handle, FSCTL_LOCK_VOLUME); }) ==
                            VolumeClaim::Locked;
    }
}

void ForgetClaims(HANDLE handle)
{
    std::lock_guard<std::mutex> lock(g_claimsLock);
    g_claims.erase(handle);
}

}  // namespace

VolumeHandle OpenVolume(char driveLetter)
{
    const char path[] = {'\\', '\\', '.', '\\', driveLetter, ':', '\0'};
    HANDLE handle = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    return handle == INVALID_HANDLE_VALUE ? nullptr : handle;
}

bool CloseVolume(VolumeHandle handle)
{
    if (CloseHandle(ToHandle(handle)) == FALSE)
        return false;
    ForgetClaims(ToHandle(handle));
    return true;
}

bool GetVolumeGeometry(VolumeHandle handle, VolumeGeometry& out)
{
    DISK_GEOMETRY geometry{};
    DWORD returned = 0;
    if (!DeviceIoControl(ToHandle(handle), IOCTL_DISK_GET_DRIVE_GEOMETRY, nullptr, 0, &geometry,
                         sizeof geometry, &returned, nullptr))
        return false;
    out.bytesPerSector = geometry.BytesPerSector;
    out.sectorsPerTrack = geometry.SectorsPerTrack;
    out.tracksPerCylinder = geometry.TracksPerCylinder;
    out.cylinders = static_cast<std::uint32_t>(geometry.Cylinders.LowPart);
    out.mediaType = static_cast<std::uint32_t>(geometry.MediaType);
    return true;
}

bool ReadVolume(VolumeHandle handle, std::uint32_t offset, void* target, std::uint32_t size)
{
    if (!SeekVolume(ToHandle(handle), offset))
        return false;
    ClaimBeforeTransfer(ToHandle(handle), false);
    DWORD got = 0;
    const BOOL succeeded = ::ReadFile(ToHandle(handle), target, size, &got, nullptr);
    return WholeTransfer(succeeded, got, size, ERROR_HANDLE_EOF);
}

bool WriteVolume(VolumeHandle handle, std::uint32_t offset, const void* source, std::uint32_t size)
{
    if (!SeekVolume(ToHandle(handle), offset))
        return false;
    ClaimBeforeTransfer(ToHandle(handle), true);
    DWORD put = 0;
    const BOOL succeeded = ::WriteFile(ToHandle(handle), source, size, &put, nullptr);
    return WholeTransfer(succeeded, put, size, ERROR_WRITE_FAULT);
}

// Raw volume reads bypass the file system's cache once the volume is locked or
// dismounted, which the first write saw to; flushing the handle makes sure no
// write still waits in the system. Windows offers no request that makes the
// drive or its driver forget a buffer of its own.
bool ForgetCachedSectors(VolumeHandle handle)
{
    return FlushFileBuffers(ToHandle(handle)) != FALSE;
}

}  // namespace platform
