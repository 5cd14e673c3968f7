#include "image/buffered_file.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::size_t kBufferSize = std::size_t{64} * 1024;

}  // namespace

CBufferedFile::CBufferedFile(CImageFile& file)
    : m_file(file), m_length(file.GetLength()), m_position(file.Seek(0, platform::SeekOrigin::Current))
{
}

std::size_t CBufferedFile::Read(void* target, std::size_t size)
{
    auto* bytes = static_cast<std::uint8_t*>(target);
    std::size_t total = 0;
    while (total < size) {
        if (m_next == m_buffer.size()) {
            // Large contents go straight to their place, small ones through
            // the buffer.
            if (size - total >= kBufferSize) {
                const std::size_t got = m_file.Read(bytes + total, size - total);
                total += got;
                m_position += got;
                break;
            }
            m_buffer.resize(kBufferSize);
            m_buffer.resize(m_file.Read(m_buffer.data(), kBufferSize));
            m_next = 0;
            if (m_buffer.empty())
                break;
        }
        const std::size_t count = std::min(size - total, m_buffer.size() - m_next);
        std::memcpy(bytes + total, m_buffer.data() + m_next, count);
        m_next += count;
        total += count;
        m_position += count;
    }
    return total;
}

void CBufferedFile::Write(const void* /*source*/, std::size_t /*size*/)
{
    throw ImageFileError("write to a file opened for reading");
}

std::uint64_t CBufferedFile::Seek(std::int64_t offset, platform::SeekOrigin origin)
{
    if (offset == 0 && origin == platform::SeekOrigin::Current)
        return m_position;
    // The file itself is ahead of us by what the buffer still holds.
    if (origin == platform::SeekOrigin::Current) {
        offset += static_cast<std::int64_t>(m_position);
        origin = platform::SeekOrigin::Begin;
    }
    m_buffer.clear();
    m_next = 0;
    m_position = m_file.Seek(offset, origin);
    return m_position;
}

void CBufferedFile::Skip(std::uint64_t count)
{
    if (count <= m_buffer.size() - m_next) {
        m_next += static_cast<std::size_t>(count);
        m_position += count;
        return;
    }
    Seek(static_cast<std::int64_t>(m_position + count), platform::SeekOrigin::Begin);
}
