#include <string>

#include "platform/file_names.h"
#include "platform/win32/win32_api.h"

namespace platform {

bool PathExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

namespace {

// The volume and index that tell a file apart, whatever name reached it.
bool FileIdentity(const std::string& path, BY_HANDLE_FILE_INFORMATION& identity)
{
    // No access at all is needed to ask; a folder opens only with backup semantics.
    HANDLE handle = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    const bool known = GetFileInformationByHandle(handle, &identity) != FALSE;
    CloseHandle(handle);
    return known;
}

// The path from the drive's root; as given when it cannot be had.
std::string FullPath(const std::string& path)
{
    std::string full(MAX_PATH, '\0');
    const DWORD length = GetFullPathNameA(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0 || length >= full.size())
        return path;
    full.resize(length);
    return full;
}

}  // namespace

bool SameFile(const std::string& first, const std::string& second)
{
    BY_HANDLE_FILE_INFORMATION one{};
    BY_HANDLE_FILE_INFORMATION other{};
    return FileIdentity(first, one) && FileIdentity(second, other) &&
           one.dwVolumeSerialNumber == other.dwVolumeSerialNumber && one.nFileIndexHigh == other.nFileIndexHigh &&
           one.nFileIndexLow == other.nFileIndexLow;
}

// Symbolic links are rare on Windows and the system follows them when it
// replaces a file; the name is used as given.
bool ResolveLinks(const std::string& path, std::string& resolved)
{
    resolved = path;
    return true;
}

// Who may replace a file is the file's own access list, which the open for
// writing before it has already tried; the move decides the rest.
bool CanReplace(const std::string& /*path*/)
{
    return true;
}

// ReplaceFileA keeps the replaced file's attributes and access rights, which
// a move over it would lose; a new target is simply moved into place, and a
// folder is left to the move to refuse. ReplaceFileA is given full paths:
// Wine's refuses a bare file name ("Image.dsk") with ERROR_DIRECTORY.
bool ReplaceFile(const std::string& from, const std::string& to)
{
    const DWORD attributes = GetFileAttributesA(to.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        return ::ReplaceFileA(FullPath(to).c_str(), FullPath(from).c_str(), nullptr, 0, nullptr, nullptr) != FALSE;
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

bool RemoveFile(const std::string& path)
{
    return DeleteFileA(path.c_str()) != FALSE;
}

bool SyncFolderOf(const std::string& /*path*/)
{
    return true;
}

}  // namespace platform
