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

bool ReadWholeText(const std::string& path, std::string& text)
{
    const platform::FileHandle file = platform::OpenForReading(path);
    if (file == nullptr)
        return false;
    text.clear();
    std::array<char, 65536> block{};
    std::size_t got = 0;
    bool read = true;
    while ((read = platform::ReadFile(file, block.data(), block.size(), got)) && got > 0 && text.size() < kLargestText)
        text.append(block.data(), got);
    read = read && got == 0;
    platform::CloseFile(file);
    return read;
}
