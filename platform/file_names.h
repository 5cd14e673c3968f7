#pragma once
// Files by name: whether one exists, where links lead, replacing and removing.
//
// Every call reports success as a bool and, on failure, leaves the thread's
// last error describing the cause.

#include <string>

namespace platform {

// True when a file (or anything else) exists at `path`.
bool PathExists(const std::string& path);

// True when both names lead to one and the same existing file (through links,
// hard links or another spelling). False when either does not exist.
bool SameFile(const std::string& first, const std::string& second);

// The name that symbolic links starting at `path` finally lead to (it need
// not exist); `path` itself when it is no link. False for a loop of links.
bool ResolveLinks(const std::string& path, std::string& resolved);

// Whether a file moved into the folder of `path` may take the place of the
// existing file there (Linux: in a sticky folder such as /tmp only the file's
// or the folder's owner may replace it, though others may write to it; EPERM).
// True when nothing is there (Windows: always; the move itself decides).
bool CanReplace(const std::string& path);

// Moves `from` over `to` in one step, replacing `to` if it exists (Windows:
// the result keeps the attributes and access rights the old `to` had).
bool ReplaceFile(const std::string& from, const std::string& to);

bool RemoveFile(const std::string& path);

// Flushes the folder that holds `path` to the medium, so that a file moved
// into it stays there after a crash (Windows: the move itself was written
// through; nothing to do).
bool SyncFolderOf(const std::string& path);

}  // namespace platform
