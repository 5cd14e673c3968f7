#include "image_tool/extracted_file.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <memory>
#include <system_error>
#include <vector>

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

std::string ErrnoText()
{
    return std::error_code(errno, std::generic_category()).message();
}

bool WriteZeros(std::FILE* file, std::uint64_t count)
{
    static const std::vector<char> kZeros(65536, 0);
    while (count != 0) {
        const std::size_t now = count < kZeros.size() ? static_cast<std::size_t>(count) : kZeros.size();
        if (std::fwrite(kZeros.data(), 1, now, file) != now)
            return false;
        count -= now;
    }
    return true;
}

}  // namespace

ExtractedFile WriteExtractedFile(const std::filesystem::path& target, const FileSystemEntry& entry,
                                 const CDiskFileSystem& fs)
{
    ExtractedFile result;
    // "x": created here or not at all, so nothing extracted before is replaced.
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(target.string().c_str(), "wbx"));
    if (!file) {
        result.outcome = errno == EEXIST ? ExtractedFile::Outcome::Exists : ExtractedFile::Outcome::NotCreated;
        result.error = ErrnoText();
        return result;
    }
    std::uint64_t written = 0;
    bool ok = true;
    fs.ReadContent(entry, [&](std::uint64_t offset, const std::uint8_t* data, std::size_t size) {
        if (offset < written || offset >= entry.size)
            return true;  // nothing the library hands twice or past the size
        const std::uint64_t count = std::min<std::uint64_t>(size, entry.size - offset);
        ok = WriteZeros(file.get(), offset - written) &&
             std::fwrite(data, 1, static_cast<std::size_t>(count), file.get()) == count;
        written = offset + count;
        result.delivered += count;
        return ok;
    });
    ok = ok && WriteZeros(file.get(), entry.size - written);
    if (!ok || std::fflush(file.get()) != 0 || std::fclose(file.release()) != 0) {
        result.outcome = ExtractedFile::Outcome::NotWritten;
        result.error = ErrnoText();
    }
    return result;
}

void SetModified(const std::filesystem::path& target, const FileSystemEntry& entry)
{
    if (entry.modified == 0)
        return;
    const auto seconds = std::chrono::system_clock::from_time_t(static_cast<std::time_t>(entry.modified));
    std::error_code ignored;  // a host that keeps no such time loses nothing else
    std::filesystem::last_write_time(target, std::chrono::file_clock::from_sys(seconds), ignored);
}
