#include "image/disk_file.h"

std::unique_ptr<CDiskFile> CDiskFile::OpenForReading(const std::string& path)
{
    platform::FileHandle handle = platform::OpenForReading(path);
    if (handle == nullptr)
        return nullptr;
    return std::make_unique<CDiskFile>(handle);
}

CDiskFile::~CDiskFile()
{
    Close();
}

std::size_t CDiskFile::Read(void* target, std::size_t size)
{
    // The platform may deliver less than asked before the end; our callers
    // take a short count as the end of the file, so keep reading until then.
    auto* bytes = static_cast<std::uint8_t*>(target);
    std::size_t total = 0;
    while (total < size) {
        std::size_t got = 0;
        if (m_handle == nullptr || !platform::ReadFile(m_handle, bytes + total, size - total, got))
            throw ImageFileError("read failed");
        if (got == 0)
            break;
        total += got;
    }
    return total;
}

void CDiskFile::Write(const void* source, std::size_t size)
{
    if (m_handle == nullptr || !platform::WriteFile(m_handle, source, size))
        throw ImageFileError("write failed");
}

std::uint64_t CDiskFile::Seek(std::int64_t offset, platform::SeekOrigin origin)
{
    std::uint64_t position = 0;
    if (m_handle == nullptr || !platform::SeekFile(m_handle, offset, origin, position))
        throw ImageFileError("seek failed");
    return position;
}

std::uint64_t CDiskFile::GetLength()
{
    std::uint64_t length = 0;
    if (m_handle == nullptr || !platform::GetFileLength(m_handle, length))
        throw ImageFileError("length query failed");
    return length;
}

void CDiskFile::Sync()
{
    if (m_handle == nullptr || !platform::SyncFile(m_handle))
        throw ImageFileError("flush failed");
}

bool CDiskFile::Close()
{
    if (m_handle == nullptr)
        return true;
    const bool closed = platform::CloseFile(m_handle);
    m_handle = nullptr;
    return closed;
}
