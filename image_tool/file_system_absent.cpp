// A build without The Sleuth Kit (the Windows program): no file system is
// read, and the commands that need one say so.
#include "image_tool/disk_file_system.h"

struct CDiskFileSystem::Session {};

bool CDiskFileSystem::Available(std::string& problem)
{
    problem = "not available in this build, which reads no file systems";
    return false;
}

std::unique_ptr<CDiskFileSystem> CDiskFileSystem::Open(const std::uint8_t* /*disk*/, std::size_t /*size*/,
                                                       std::uint32_t /*bytesPerSector*/)
{
    return nullptr;
}

CDiskFileSystem::CDiskFileSystem(std::unique_ptr<Session> session) : m_session(std::move(session))
{
}

CDiskFileSystem::~CDiskFileSystem() = default;

FileSystemFacts CDiskFileSystem::Facts() const
{
    return {};
}

std::vector<FileSystemArea> CDiskFileSystem::SystemAreas() const
{
    return {};
}

std::vector<FileSystemEntry> CDiskFileSystem::Entries() const
{
    return {};
}

bool CDiskFileSystem::ReadContent(
    const FileSystemEntry& /*entry*/,
    const std::function<bool(std::uint64_t, const std::uint8_t*, std::size_t)>& /*sink*/) const
{
    return false;
}
