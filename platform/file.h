#pragma once
// Image files: plain files reached without any text translation.
//
// Every call reports success as a bool and, on failure, leaves the thread's
// last error describing the cause.

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

// Opaque handle of an open file; nullptr means "not open".
using FileHandle = void*;

enum class SeekOrigin { Begin, Current, End };

// Creates `path` anew for writing; no other party may read it while it is
// open (Windows: GENERIC_WRITE, FILE_SHARE_WRITE, CREATE_NEW; Linux: an
// exclusive advisory lock). Fails when `path` already exists.
FileHandle CreateNewFile(const std::string& path);

// Opens an existing file for writing without truncating it, to learn whether
// it can be replaced; no other party may read it while it is open.
FileHandle OpenExistingForWriting(const std::string& path);

// Opens an existing file for reading; others may read it but not write it
// (Windows: GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING; Linux: a shared lock).
FileHandle OpenForReading(const std::string& path);

// Reads up to `size` bytes; `got` is 0 at the end of the file, which is not a
// failure. Retries interrupted calls.
bool ReadFile(FileHandle file, void* target, std::size_t size, std::size_t& got);

// Writes all `size` bytes or fails.
bool WriteFile(FileHandle file, const void* source, std::size_t size);

bool SeekFile(FileHandle file, std::int64_t offset, SeekOrigin origin, std::uint64_t& position);
bool GetFileLength(FileHandle file, std::uint64_t& length);

// Flushes what was written to the medium.
bool SyncFile(FileHandle file);
bool CloseFile(FileHandle file);

// True when a file (or anything else) exists at `path`.
bool PathExists(const std::string& path);

// A name for a new file in the same folder as `target` that does not exist
// yet; `attempt` makes successive names differ.
std::string SiblingTemporaryName(const std::string& target, unsigned attempt);

// Moves `from` over `to` in one step, replacing `to` if it exists and giving
// the result the permissions the old `to` had.
bool ReplaceFile(const std::string& from, const std::string& to);

bool RemoveFile(const std::string& path);

}  // namespace platform
