#pragma once

#include <cstdint>
#include <limits>
#include <vector>

#include "image/image_file.h"

// An image file held in memory, for tests and fuzzing. It can be told to fail
// like a damaged medium or a full disk once a given number of bytes has moved.
class CMemoryFile : public CImageFile {
public:
    CMemoryFile() = default;
    explicit CMemoryFile(std::vector<std::uint8_t> bytes) : m_bytes(std::move(bytes)) {}

    std::size_t Read(void* target, std::size_t size) override;
    void Write(const void* source, std::size_t size) override;
    std::uint64_t Seek(std::int64_t offset, platform::SeekOrigin origin) override;
    std::uint64_t GetLength() override;

    const std::vector<std::uint8_t>& Bytes() const { return m_bytes; }

    // Raise ImageFileError once the total read (written) would pass this count.
    std::size_t m_nReadLimit = std::numeric_limits<std::size_t>::max();
    std::size_t m_nWriteLimit = std::numeric_limits<std::size_t>::max();

private:
    std::vector<std::uint8_t> m_bytes;
    std::uint64_t m_position = 0;
    std::size_t m_nRead = 0;
    std::size_t m_nWritten = 0;
};
