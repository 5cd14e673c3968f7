#include "task/text_file.h"

#include <array>

#include "image/image_target.h"
#include "platform/file.h"

namespace {

// Far beyond any record; a larger file is no record and is not taken into memory.
constexpr std::size_t kLargestText = 64u << 20;

}  // namespace

bool ReplaceWithText(const std::string& path, const std::string& text)
{
    CImageTarget target;
    if (!target.Create(path))
        return false;
    try {
        target.File().Write(text.data(), text.size());
    } catch (const ImageFileError&) {
        return false;  // the target abandons its new file
    }
    // A record follows an image already kept: a Ctrl-C now does not undo it.
    return target.Commit([] { return false; });
}

bool ReadInBlocks(const std::string& path, const std::function<bool(const char* block, std::size_t size)>& take)
{
    const platform::FileHandle file = platform::OpenForReading(path);
    if (file == nullptr)
        return false;
    std::array<char, 65536> block{};
    std::size_t got = 0;
    bool read = platform::ReadFile(file, block.data(), block.size(), got);
    while (read && got > 0)
        read = take(block.data(), got) && platform::ReadFile(file, block.data(), block.size(), got);
    platform::CloseFile(file);
    return read;
}

bool ReadWholeText(const std::string& path, std::string& text)
{
    text.clear();
    return ReadInBlocks(path, [&text](const char* block, std::size_t size) {
        if (text.size() >= kLargestText)
            return false;
        text.append(block, size);
        return true;
    });
}
