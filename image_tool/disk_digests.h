#pragma once
// The checksums archives record for a disk: of its raw bytes, whatever the
// image's compression, so they equal md5sum and sha256sum of the raw disk.

#include <cstddef>
#include <cstdint>
#include <string>

struct DiskDigests {
    std::string md5;     // lower-case hexadecimal
    std::string sha256;
};

// Both digests in one pass over the data; false when the hash library
// refuses (for instance MD5 in a FIPS-only configuration).
bool ComputeDiskDigests(const std::uint8_t* data, std::size_t size, DiskDigests& digests);
