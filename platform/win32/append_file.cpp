#include "platform/append_file.h"

#include "platform/win32/file_on_disk.h"

namespace platform {

namespace {

HANDLE ToHandle(FileHandle file) { return static_cast<HANDLE>(file); }

// The whole file, as far as a lock range reaches.
constexpr DWORD kWholeFile = MAXDWORD;

}  // namespace

// Others may read and append while we hold it open.
FileHandle OpenForAppending(const std::string& path)
{
    return OpenFileOnDisk(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_ALWAYS);
}

bool LockForAppending(FileHandle file, std::uint64_t& length)
{
    OVERLAPPED whole{};
    if (!LockFileEx(ToHandle(file), LOCKFILE_EXCLUSIVE_LOCK, 0, kWholeFile, kWholeFile, &whole))
        return false;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(ToHandle(file), &size)) {
        const DWORD error = GetLastError();
        UnlockFileEx(ToHandle(file), 0, kWholeFile, kWholeFile, &whole);
        SetLastError(error);
        return false;
    }
    length = static_cast<std::uint64_t>(size.QuadPart);
    return true;
}

// The end is found under the lock, so two runs never write over each other.
bool AppendAndUnlock(FileHandle file, const void* source, std::size_t size)
{
    LARGE_INTEGER nowhere{};
    const bool written = SetFilePointerEx(ToHandle(file), nowhere, nullptr, FILE_END) &&
                         WriteFile(file, source, size) && FlushFileBuffers(ToHandle(file));
    const DWORD error = GetLastError();
    OVERLAPPED whole{};
    UnlockFileEx(ToHandle(file), 0, kWholeFile, kWholeFile, &whole);
    SetLastError(error);
    return written;
}

}  // namespace platform
