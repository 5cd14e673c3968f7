#pragma once

#include <memory>
#include <string>

#include "image/image_file.h"
#include "platform/file.h"

// An image file on disk, over the platform's file calls. A failing call
// raises ImageFileError and leaves its cause in the thread's last error.
class CDiskFile : public CImageFile {
public:
    // Opens an existing file for reading (others may read it too, not write it).
    // Null when it cannot be opened.
    static std::unique_ptr<CDiskFile> OpenForReading(const std::string& path);

    explicit CDiskFile(platform::FileHandle handle) : m_handle(handle) {}
    ~CDiskFile() override;
    CDiskFile(const CDiskFile&) = delete;
    CDiskFile& operator=(const CDiskFile&) = delete;

    std::size_t Read(void* target, std::size_t size) override;
    void Write(const void* source, std::size_t size) override;
    std::uint64_t Seek(std::int64_t offset, platform::SeekOrigin origin) override;
    std::uint64_t GetLength() override;

    // Flushes to the medium; raises on failure.
    void Sync();
    // False when the system reports a failure; the file is closed either way.
    bool Close();

private:
    platform::FileHandle m_handle;
};
