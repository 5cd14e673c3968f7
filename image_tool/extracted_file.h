#pragma once
// One file of the disk written out, never over anything that exists.

#include <cstdint>
#include <filesystem>
#include <string>

#include "image_tool/disk_file_system.h"

struct ExtractedFile {
    enum class Outcome { Written, Exists, NotCreated, NotWritten } outcome = Outcome::Written;
    std::string error;            // the system's reason, for NotCreated and NotWritten
    std::uint64_t delivered = 0;  // bytes the library could read; the rest are zeros
};

// Creates `target` (never replacing anything) and writes the entry's whole
// size into it, zeros where the library could not read.
ExtractedFile WriteExtractedFile(const std::filesystem::path& target, const FileSystemEntry& entry,
                                 const CDiskFileSystem& fs);

// Gives the file or folder the entry's time of modification, when it has one.
void SetModified(const std::filesystem::path& target, const FileSystemEntry& entry);
