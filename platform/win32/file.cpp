#include "platform/file.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "platform/win32/file_on_disk.h"

namespace platform {

namespace {

// One ReadFile or WriteFile call moves at most a DWORD's worth.
DWORD ChunkOf(std::size_t size)
{
    return static_cast<DWORD>(std::min<std::size_t>(size, MAXDWORD));
}

}  // namespace

HANDLE OpenFileOnDisk(const std::string& path, DWORD access, DWORD share, DWORD disposition)
{
    HANDLE handle = CreateFileA(path.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return nullptr;
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        CloseHandle(handle);
        SetLastError(ERROR_INVALID_FUNCTION);
        return nullptr;
    }
    return handle;
}

// Others may write but not read while the image is being made, so no reader
// sees half an image.
FileHandle CreateNewFile(const std::string& path)
{
    return OpenFileOnDisk(path, GENERIC_WRITE, FILE_SHARE_WRITE, CREATE_NEW);
}

FileHandle OpenExistingForWriting(const std::string& path)
{
    return OpenFileOnDisk(path, GENERIC_WRITE, FILE_SHARE_WRITE, OPEN_EXISTING);
}

FileHandle OpenExistingForUpdating(const std::string& path)
{
    return OpenFileOnDisk(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_WRITE, OPEN_EXISTING);
}

FileHandle OpenForReading(const std::string& path)
{
    return OpenFileOnDisk(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
}

bool ReadFile(FileHandle file, void* target, std::size_t size, std::size_t& got)
{
    DWORD read = 0;
    if (!::ReadFile(file, target, ChunkOf(size), &read, nullptr))
        return false;
    got = read;
    return true;
}

bool WriteFile(FileHandle file, const void* source, std::size_t size)
{
    const auto* bytes = static_cast<const char*>(source);
    while (size > 0) {
        DWORD written = 0;
        if (!::WriteFile(file, bytes, ChunkOf(size), &written, nullptr))
            return false;
        if (written == 0) {
            // Success without progress would loop for ever.
            SetLastError(ERROR_WRITE_FAULT);
            return false;
        }
        bytes += written;
        size -= written;
    }
    return true;
}

bool SeekFile(FileHandle file, std::int64_t offset, SeekOrigin origin, std::uint64_t& position)
{
    LARGE_INTEGER distance{};
    distance.QuadPart = offset;
    LARGE_INTEGER reached{};
    const DWORD method = origin == SeekOrigin::Begin ? FILE_BEGIN : origin == SeekOrigin::Current ? FILE_CURRENT : FILE_END;
    if (!SetFilePointerEx(file, distance, &reached, method))
        return false;
    position = static_cast<std::uint64_t>(reached.QuadPart);
    return true;
}

bool GetFileLength(FileHandle file, std::uint64_t& length)
{
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size))
        return false;
    length = static_cast<std::uint64_t>(size.QuadPart);
    return true;
}

bool SyncFile(FileHandle file)
{
    return FlushFileBuffers(file) != FALSE;
}

bool CloseFile(FileHandle file)
{
    return CloseHandle(file) != FALSE;
}

FileHandle CreateTemporaryBeside(const std::string& beside, std::string& name)
{
    const std::size_t separator = beside.find_last_of("\\/:");
    const std::string folder = separator == std::string::npos ? std::string() : beside.substr(0, separator + 1);
    // Another party may pick a name between our choice and our creation; a few
    // attempts make that harmless without looping forever on a folder we
    // cannot write to.
    const DWORD seed = GetCurrentProcessId() * 2654435761u ^ GetTickCount();
    for (DWORD attempt = 0; attempt < 16; ++attempt) {
        char suffix[9];
        std::snprintf(suffix, sizeof suffix, "%06lx", static_cast<unsigned long>((seed + attempt) & 0xFFFFFF));
        const std::string candidate = folder + ".mv" + suffix;
        FileHandle file = CreateNewFile(candidate);
        if (file != nullptr) {
            name = candidate;
            return file;
        }
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS)
            break;  // the folder takes no new file at all
    }
    return nullptr;
}

// The new file was made in the target's folder and so carries the access
// rights that folder hands down, as a plain new file would; an existing
// target's own are kept by ReplaceFileA.
bool TakeAccessOf(FileHandle /*file*/, FileHandle /*model*/)
{
    return true;
}

}  // namespace platform
