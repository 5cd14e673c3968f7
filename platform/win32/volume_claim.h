#pragma once
// Windows refuses raw writes into a mounted file system. These decide how a
// volume is claimed before its first transfer; the system calls are handed
// in, so that the order is checked on every platform.

#include <functional>

namespace platform {

enum class VolumeClaim {
    Locked,      // nobody else uses the volume while we hold it
    Dismounted,  // the file system let go; its cached view is gone
    Unclaimed,   // neither worked: the transfers themselves will tell
};

// Before the first write: lock the volume; if others hold files open on it,
// dismount it instead.
inline VolumeClaim ClaimForWriting(const std::function<bool()>& lock, const std::function<bool()>& dismount)
{
    if (lock())
        return VolumeClaim::Locked;
    return dismount() ? VolumeClaim::Dismounted : VolumeClaim::Unclaimed;
}

// Before the first read: lock when we can, so that nothing changes the disk
// while it is imaged; never dismount a disk we only read.
inline VolumeClaim ClaimForReading(const std::function<bool()>& lock)
{
    return lock() ? VolumeClaim::Locked : VolumeClaim::Unclaimed;
}

}  // namespace platform
