#pragma once
// When a floppy holds a mounted file system, writing its sectors behind the
// file system's back corrupts the disk or is refused sector by sector. These
// decide what to do before the first transfer; the operating-system calls are
// handed in, so the decisions can be tested anywhere.

namespace platform {

enum class VolumeClaim {
    Locked,      // nobody else uses the volume while we hold it
    Dismounted,  // the file system let go; its cached view is gone
    Unclaimed,   // neither worked: the transfers themselves will tell
};

// Before the first write: lock the volume; if others hold files open on it,
// dismount it instead.
template <class Lock, class Dismount>
VolumeClaim ClaimForWriting(Lock lock, Dismount dismount)
{
    if (lock())
        return VolumeClaim::Locked;
    if (dismount())
        return VolumeClaim::Dismounted;
    return VolumeClaim::Unclaimed;
}

// Before the first read: lock when we can, so that nothing changes the disk
// while it is imaged; never dismount a disk we only read.
template <class Lock>
VolumeClaim ClaimForReading(Lock lock)
{
    return lock() ? VolumeClaim::Locked : VolumeClaim::Unclaimed;
}

// Where the system lets writes through to a mounted medium (Linux), writing is
// refused outright while anything has it mounted.
template <class IsInUse>
bool MayWriteBehindFileSystem(IsInUse isInUse)
{
    return !isInUse();
}

}  // namespace platform
