#pragma once

#include <cstdint>
#include <vector>

#include "image/image_file.h"

// Reads an image file through a buffer, for the record reader: a record
// header is six bytes, and one system call for each of millions of tiny
// records would keep a crafted file busy for an hour. Only reading is
// buffered; the file must not change while it is read.
class CBufferedFile : public CImageFile {
public:
    explicit CBufferedFile(CImageFile& file);

    std::size_t Read(void* target, std::size_t size) override;
    void Write(const void* source, std::size_t size) override;
    std::uint64_t Seek(std::int64_t offset, platform::SeekOrigin origin) override;
    std::uint64_t GetLength() override { return m_length; }

    // Moves on by `count` bytes without reading them: inside what the buffer
    // holds, or by a seek past its end.
    void Skip(std::uint64_t count);

private:
    CImageFile& m_file;
    std::uint64_t m_length;
    std::uint64_t m_position;          // of the next byte we hand out
    std::vector<std::uint8_t> m_buffer;
    std::size_t m_next = 0;            // within m_buffer
};
