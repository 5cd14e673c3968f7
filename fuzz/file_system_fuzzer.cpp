// files and extract over any disk: the file-system library parses whatever
// the disk holds, and extract writes what it finds. Besides the sanitizers it
// checks that nothing is ever written outside the folder extract was given.
//
// The input is the raw disk, whole 512-byte sectors; the bytes past the last
// whole sector name unreadable sectors (16 bits each), so that mending the
// FAT from its other copy is reached too.
#include <stdlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "image_tool/file_system_damage.h"
#include "image_tool/tool_commands.h"

namespace {

constexpr std::size_t kSector = 512;

const std::filesystem::path& Sandbox()
{
    static const std::filesystem::path sandbox = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "fuzz-extract-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            std::abort();
        // Lines of refusal on standard error would cost more than the code under test.
        std::cerr.setstate(std::ios::badbit);
        return std::filesystem::path(pattern);
    }();
    return sandbox;
}

std::vector<std::uint32_t> UnreadableSectors(const std::uint8_t* tail, std::size_t size, std::size_t sectors)
{
    std::vector<std::uint32_t> unreadable;
    for (std::size_t i = 0; i + 1 < size; i += 2)
        unreadable.push_back(static_cast<std::uint32_t>((tail[i] | tail[i + 1] << 8) % sectors));
    std::sort(unreadable.begin(), unreadable.end());
    unreadable.erase(std::unique(unreadable.begin(), unreadable.end()), unreadable.end());
    return unreadable;
}

void CheckStatus(int status)
{
    if (status != kExitDone && status != kExitBadInput && status != kExitDamaged)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::size_t sectors = std::max<std::size_t>(size / kSector, 1);
    std::vector<std::uint8_t> disk(sectors * kSector, 0);
    std::copy_n(data, std::min(size, disk.size()), disk.begin());
    const std::size_t whole = size / kSector * kSector;
    const std::vector<std::uint32_t> unreadable = UnreadableSectors(data + whole, size - whole, sectors);
    const DiskGeometry geometry{kSector, static_cast<std::uint32_t>(sectors), 1, 1, 0};
    const DiskInMemory memory{"fuzz.dsk", disk.data(), disk.size(), geometry, &unreadable};

    CheckStatus(ListDiskFiles(memory, true));
    CheckStatus(ListDiskFiles(memory, false));
    const std::filesystem::path folder = Sandbox() / "out";
    CheckStatus(ExtractDiskFiles(memory, folder.string()));
    // Whatever the names held, the sandbox holds the folder and nothing else.
    for (const auto& item : std::filesystem::directory_iterator(Sandbox()))
        if (item.path() != folder)
            std::abort();
    std::filesystem::remove_all(folder);
    return 0;
}
