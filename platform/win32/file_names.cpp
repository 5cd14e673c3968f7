#include <string>

#include "platform/file.h"
#include "platform/win32/win32_api.h"

namespace platform {

bool PathExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string SiblingTemporaryName(const std::string& target, unsigned attempt)
{
    return target + "." + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(attempt) +
           ".partial";
}

// The new file was made in the target's folder and so already carries the
// access rights that folder hands down, as the old target did.
bool ReplaceFile(const std::string& from, const std::string& to)
{
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) !=
           FALSE;
}

bool RemoveFile(const std::string& path)
{
    return DeleteFileA(path.c_str()) != FALSE;
}

}  // namespace platform
