#pragma once
// The checksums archives record for a disk: of its raw bytes, whatever the
// image's compression, so they equal md5sum, sha1sum, sha256sum and
// sha512sum of the raw disk. Institutions ask for different ones; all four
// come from one pass.

#include <cstddef>
#include <cstdint>
#include <string>

struct DiskDigests {
    std::string md5;  // lower-case hexadecimal
    std::string sha1;
    std::string sha256;
    std::string sha512;
};

// The four digests in one pass over the data; false when the hash library
// refuses (for instance MD5 in a FIPS-only configuration).
bool ComputeDiskDigests(const std::uint8_t* data, std::size_t size, DiskDigests& digests);

// SHA-256 alone, of a whole file as it lies on the medium (an image file as
// written); false when the file cannot be read.
bool ComputeFileSha256(const std::string& path, std::string& sha256);
