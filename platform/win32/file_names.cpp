#include <cstdio>
#include <string>

#include "platform/file.h"
#include "platform/win32/win32_api.h"

namespace platform {

bool PathExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Symbolic links are rare on Windows and the system follows them when it
// replaces a file; the name is used as given.
bool ResolveLinks(const std::string& path, std::string& resolved)
{
    resolved = path;
    return true;
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

// ReplaceFileA keeps the replaced file's attributes and access rights, which
// a move over it would lose; a new target is simply moved into place, and a
// folder is left to the move to refuse.
bool ReplaceFile(const std::string& from, const std::string& to)
{
    const DWORD attributes = GetFileAttributesA(to.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        return ::ReplaceFileA(to.c_str(), from.c_str(), nullptr, 0, nullptr, nullptr) != FALSE;
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

bool RemoveFile(const std::string& path)
{
    return DeleteFileA(path.c_str()) != FALSE;
}

}  // namespace platform
