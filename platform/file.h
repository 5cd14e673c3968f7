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

// As OpenExistingForWriting, and for reading too: a file that is rewritten
// from its own bytes is read through the handle that holds it.
FileHandle OpenExistingForUpdating(const std::string& path);

// Opens an existing file for reading; others may read it but not write it
// (Windows: GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING; Linux: a shared lock).
FileHandle OpenForReading(const std::string& path);

// All three opens take regular files only (a folder, device, FIFO or socket
// is refused, without waiting for a FIFO's other end).

// Creates a new, empty file under a short unique name in the folder of
// `beside`, that only its owner may open, locked as by CreateNewFile; `name`
// receives its path. A short name fits wherever `beside` fits.
FileHandle CreateTemporaryBeside(const std::string& beside, std::string& name);

// Gives `file` the permissions of the open file `model` (and its owner and
// group where the system allows it); with no model, the permissions a plain
// new file would get. Windows: nothing to do, ReplaceFile keeps them.
bool TakeAccessOf(FileHandle file, FileHandle model);

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

}  // namespace platform
