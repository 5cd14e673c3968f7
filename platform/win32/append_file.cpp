#include "platform/append_file.h"

#include "platform/last_error.h"
#include "platform/win32/file_on_disk.h"

namespace platform {

namespace {

// The whole file, as far as a lock range reaches.
constexpr DWORD kWholeFile = MAXDWORD;

// Gives the lock up, keeping the last error of what went before.
void Unlock(FileHandle file)
{
    const LastErrorGuard keep;
    OVERLAPPED whole{};
    UnlockFileEx(file, 0, kWholeFile, kWholeFile, &whole);
}

}  // namespace

// Others may read and append while we hold it open.
FileHandle OpenForAppending(const std::string& path)
{
    return OpenFileOnDisk(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_ALWAYS);
}

bool LockForAppending(FileHandle file, std::uint64_t& length)
{
    OVERLAPPED whole{};
    if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, kWholeFile, kWholeFile, &whole))
        return false;
    if (GetFileLength(file, length))
        return true;
    Unlock(file);
    return false;
}

// The end is found under the lock, so two runs never write over each other.
bool AppendAndUnlock(FileHandle file, const void* source, std::size_t size)
{
    std::uint64_t end = 0;
    const bool written = SeekFile(file, 0, SeekOrigin::End, end) && WriteFile(file, source, size) && SyncFile(file);
    Unlock(file);
    return written;
}

}  // namespace platform
