#pragma once
// The file object that image records are read from and written to.
//
// I/O failures are raised as ImageFileError, never returned: the image
// writer and reader catch them and turn them into a false result.

#include <cstddef>
#include <cstdint>
#include <stdexcept>

#include "platform/file.h"

class ImageFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class CImageFile {
public:
    virtual ~CImageFile() = default;

    // Reads up to `size` bytes; returns the count read, 0 at the end of the file.
    virtual std::size_t Read(void* target, std::size_t size) = 0;
    // Writes all `size` bytes.
    virtual void Write(const void* source, std::size_t size) = 0;
    // Moves to `offset` from the origin; returns the new position.
    virtual std::uint64_t Seek(std::int64_t offset, platform::SeekOrigin origin) = 0;
    virtual std::uint64_t GetLength() = 0;
};
