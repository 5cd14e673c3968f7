#include "console/console_log.h"
#include "image_tool/disk_map.h"

namespace {

struct Block {
    std::uint64_t position, size;
    char status;
};

void Append(std::vector<Block>& blocks, std::uint64_t position, std::uint64_t size, char status)
{
    if (!blocks.empty() && blocks.back().status == status)
        blocks.back().size += size;  // neighbours of one status form one block
    else
        blocks.push_back({position, size, status});
}

}  // namespace

std::string DdrescueMapFile(const DiskMap& map, const std::string& creator)
{
    // Finished ('+') everywhere but the unreadable sectors, which are bad
    // sectors ('-').
    const std::uint64_t sector = map.geometry.BytesPerSector;
    const std::uint64_t size = Capacity(map.geometry);
    std::vector<Block> blocks;
    std::uint64_t done = 0;
    for (const std::uint32_t index : *map.unreadable) {
        const std::uint64_t bad = index * sector;
        if (bad < done || bad >= size)
            continue;
        if (bad > done)
            Append(blocks, done, bad - done, '+');
        Append(blocks, bad, sector, '-');
        done = bad + sector;
    }
    if (done < size)
        Append(blocks, done, size - done, '+');

    std::string text = "# Mapfile. Created by " + creator +
                       "\n# current_pos  current_status  current_pass\n0x00000000     +               1\n"
                       "#      pos        size  status\n";
    for (const Block& block : blocks)
        text += FormatText("0x%08llX  0x%08llX  %c\n", static_cast<unsigned long long>(block.position),
                           static_cast<unsigned long long>(block.size), block.status);
    return text;
}
