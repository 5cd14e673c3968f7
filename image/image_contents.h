#pragma once
// An image file as a plain value: what the reader found in it and what the
// writer stores. It knows nothing of drives or of the console.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "formats/disk_geometry.h"
#include "image/byte_buffer.h"
#include "image/image_records.h"

// A record of a type this program does not know: where it lies, so that a
// rewrite of the file can carry it over.
struct UnusedRecord {
    std::uint16_t type = 0;
    std::uint32_t length = 0;  // of its content
    std::uint64_t offset = 0;  // of its header, from the file's first byte
};

// What a file holds besides the disk: where the image lies in it, which
// version wrote it and the records this program does not use. A rewrite of
// the file keeps them.
struct ImageSurroundings {
    std::uint64_t fileLength = 0;
    // Where the image starts in the file: bytes before it belong to another file.
    std::uint64_t imageOffset = 0;
    ImageTrailer trailer;  // the stored size (TotalSize) and the format version

    // At most kMaxUnusedRecords; beyond that only the flag says there were more.
    std::vector<UnusedRecord> unusedRecords;
    bool moreUnusedRecords = false;
    static constexpr std::size_t kMaxUnusedRecords = 65536;
};

struct ImageContents : ImageSurroundings {
    DiskGeometry geometry;
    // The last data record, as stored: zlib data or the raw disk.
    bool hasData = false;
    bool compressed = false;
    ByteBuffer data;
    std::uint32_t dataSize = 0;
    // Longer than any disk that could take the image; its content was not read.
    bool dataTooLong = false;

    // 0-based linear indexes of sectors that could not be read when the image
    // was made; empty, with the flag set, when the list cannot be trusted.
    std::vector<std::uint32_t> unreadableSectors;
    bool unreadableListDamaged = false;
};
