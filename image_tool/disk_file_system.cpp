// The file system through The Sleuth Kit, reading the disk from memory
// through the library's interface for images it does not open itself.
#include "image_tool/disk_file_system.h"

#include <tsk/libtsk.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "image_tool/file_system_walk.h"

namespace {

struct MemoryDisk {
    TSK_IMG_INFO info;  // first, as the library requires
    const std::uint8_t* data;
    std::size_t size;
};

ssize_t ReadMemoryDisk(TSK_IMG_INFO* image, TSK_OFF_T offset, char* buffer, size_t length)
{
    const auto* disk = reinterpret_cast<const MemoryDisk*>(image);
    if (offset < 0 || static_cast<std::uint64_t>(offset) >= disk->size)
        return 0;
    const std::size_t count = std::min(length, disk->size - static_cast<std::size_t>(offset));
    std::memcpy(buffer, disk->data + offset, count);
    return static_cast<ssize_t>(count);
}

void CloseMemoryDisk(TSK_IMG_INFO* image)
{
    std::free(image);
}

void DescribeMemoryDisk(TSK_IMG_INFO* /*image*/, FILE* /*stream*/)
{
}

std::string TypeName(TSK_FS_TYPE_ENUM type)
{
    switch (type) {
    case TSK_FS_TYPE_FAT12: return "FAT12";
    case TSK_FS_TYPE_FAT16: return "FAT16";
    case TSK_FS_TYPE_FAT32: return "FAT32";
    default: return "";
    }
}

// The volume serial number as DOS shows it; the library keeps its bytes as
// the boot sector stores them, lowest first.
std::string SerialText(const TSK_FS_INFO& fs)
{
    if (fs.fs_id_used != 4)
        return "";
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (int i = 3; i >= 0; --i) {
        text += kDigits[fs.fs_id[i] >> 4];
        text += kDigits[fs.fs_id[i] & 0x0F];
        if (i == 2)
            text += '-';
    }
    return text;
}

}  // namespace

struct CDiskFileSystem::Session {
    TSK_IMG_INFO* image = nullptr;
    TSK_FS_INFO* fs = nullptr;
    std::uint32_t bytesPerSector = 0;
    std::size_t diskSize = 0;
    ~Session()
    {
        if (fs != nullptr)
            tsk_fs_close(fs);
        if (image != nullptr)
            tsk_img_close(image);
    }
};

bool CDiskFileSystem::Available(std::string& /*problem*/)
{
    return true;
}

std::unique_ptr<CDiskFileSystem> CDiskFileSystem::Open(const std::uint8_t* disk, std::size_t size,
                                                       std::uint32_t bytesPerSector)
{
    auto session = std::make_unique<Session>();
    session->bytesPerSector = bytesPerSector;
    session->diskSize = size;
    if (size == 0 || bytesPerSector == 0)
        return nullptr;
    // The library's read cache makes this structure two megabytes; zeroed
    // by calloc, its pages are only touched when the cache uses them.
    auto* memory = static_cast<MemoryDisk*>(std::calloc(1, sizeof(MemoryDisk)));
    if (memory == nullptr)
        return nullptr;
    memory->data = disk;
    memory->size = size;
    session->image = tsk_img_open_external(memory, static_cast<TSK_OFF_T>(size), bytesPerSector, ReadMemoryDisk,
                                             CloseMemoryDisk, DescribeMemoryDisk);
    if (session->image == nullptr) {
        std::free(memory);
        tsk_error_reset();
        return nullptr;
    }
    session->fs = tsk_fs_open_img(session->image, 0, TSK_FS_TYPE_FAT_DETECT);
    if (session->fs == nullptr || TypeName(session->fs->ftype).empty()) {
        tsk_error_reset();
        return nullptr;
    }
    return std::unique_ptr<CDiskFileSystem>(new CDiskFileSystem(std::move(session)));
}

CDiskFileSystem::CDiskFileSystem(std::unique_ptr<Session> session) : m_session(std::move(session))
{
}

CDiskFileSystem::~CDiskFileSystem() = default;

FileSystemFacts CDiskFileSystem::Facts() const
{
    return {TypeName(m_session->fs->ftype), VolumeLabel(m_session->fs), SerialText(*m_session->fs)};
}

std::vector<FileSystemArea> CDiskFileSystem::SystemAreas() const
{
    return WalkSystemAreas(m_session->fs, {m_session->bytesPerSector, m_session->diskSize});
}

std::vector<FileSystemEntry> CDiskFileSystem::Entries() const
{
    return WalkEntries(m_session->fs, {m_session->bytesPerSector, m_session->diskSize});
}

bool CDiskFileSystem::ReadContent(
    const FileSystemEntry& entry,
    const std::function<bool(std::uint64_t, const std::uint8_t*, std::size_t)>& sink) const
{
    return WalkContent(m_session->fs, entry.address, sink);
}
