#pragma once
// The disk data as zlib stores it in an image: compressed in one piece,
// expanded in one stream that says why it refused.

#include <cstdint>
#include <string>

#include "image/byte_buffer.h"

struct CompressedData {
    ByteBuffer data;  // null when zlib or the memory refused
    std::uint32_t size = 0;
};

// At zlib's best compression, trimmed to its exact size.
CompressedData CompressDiskData(const std::uint8_t* data, std::uint32_t size);

enum class ExpansionOutcome {
    Expanded,     // exactly the raw size
    TooLong,      // more than the raw size
    WrongLength,  // the stream ended short of the raw size
    EndsEarly,    // the data ends before the stream does
    Damaged,      // zlib rejects the stream (its words in zlibMessage)
    OutOfMemory,
};

struct Expansion {
    ExpansionOutcome outcome = ExpansionOutcome::OutOfMemory;
    // What the stream gave, counted on to just past 110 % of the raw size.
    std::uint64_t expandedSize = 0;
    // The stream ended within 110 % of the raw size and could have been the
    // disk: a restore shows the sizes; otherwise it refused the expansion.
    bool endedWithinBound = false;
    std::string zlibMessage;
    ByteBuffer data;  // the raw disk when Expanded and kept
};

// Expands `data` for a disk of `rawSize` bytes. Stores at most rawSize bytes,
// and only when `keep`; counts without storing otherwise.
Expansion ExpandDiskData(const std::uint8_t* data, std::uint32_t size, std::uint32_t rawSize, bool keep);
