#include "tests/support/memory_file.h"

#include <algorithm>
#include <cstring>

std::size_t CMemoryFile::Read(void* target, std::size_t size)
{
    // Past the end there is nothing to read, which is not a failure.
    const std::uint64_t left = m_position < m_bytes.size() ? m_bytes.size() - m_position : 0;
    const std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(size, left));
    if (count > m_nReadLimit - std::min(m_nRead, m_nReadLimit))
        throw ImageFileError("simulated read failure");
    if (count != 0)
        std::memcpy(target, m_bytes.data() + m_position, count);
    m_nRead += count;
    m_position += count;
    return count;
}

void CMemoryFile::Write(const void* source, std::size_t size)
{
    if (size > m_nWriteLimit - std::min(m_nWritten, m_nWriteLimit))
        throw ImageFileError("simulated full medium");
    if (size == 0)
        return;
    const std::uint64_t end = m_position + size;
    if (end > m_bytes.size())
        m_bytes.resize(static_cast<std::size_t>(end));  // a gap after a seek reads as zeros
    std::memcpy(m_bytes.data() + m_position, source, size);
    m_nWritten += size;
    m_position = end;
}

std::uint64_t CMemoryFile::Seek(std::int64_t offset, platform::SeekOrigin origin)
{
    std::int64_t base = 0;
    if (origin == platform::SeekOrigin::Current)
        base = static_cast<std::int64_t>(m_position);
    else if (origin == platform::SeekOrigin::End)
        base = static_cast<std::int64_t>(m_bytes.size());
    if (offset < -base || (offset > 0 && base > INT64_MAX - offset))
        throw ImageFileError("seek outside the file");
    m_position = static_cast<std::uint64_t>(base + offset);
    return m_position;
}

std::uint64_t CMemoryFile::GetLength()
{
    return m_bytes.size();
}
