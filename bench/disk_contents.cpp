#include "bench/disk_contents.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <random>
#include <string_view>

namespace {

// Words of varied length, so the text has the statistics of prose rather than
// of one repeated pattern that deflate would find too easily.
constexpr std::array<std::string_view, 32> kWords = {
    "the ",    "disk ",    "sector ", "of ",      "and ",     "image ",  "file ",    "to ",
    "a ",      "drive ",   "read ",   "write ",   "is ",      "data ",   "in ",      "copy ",
    "floppy ", "track ",   "head ",   "cylinder ", "format ", "error ",  "retry ",   "system ",
    "byte ",   "restore ", "when ",   "every ",   "program ", "which ",  "version ", "table.\n",
};

void FillText(std::uint8_t* place, std::size_t size, std::mt19937& random)
{
    std::size_t filled = 0;
    while (filled < size) {
        const std::string_view word = kWords[random() % kWords.size()];
        const std::size_t count = std::min(word.size(), size - filled);
        std::memcpy(place + filled, word.data(), count);
        filled += count;
    }
}

void FillRandom(std::uint8_t* place, std::size_t size, std::mt19937& random)
{
    for (std::size_t i = 0; i < size; ++i)
        place[i] = static_cast<std::uint8_t>(random());
}

}  // namespace

void FillHalfCompressible(std::vector<std::uint8_t>& medium, std::uint32_t bytesPerSector)
{
    std::mt19937 random(20240601);
    for (std::size_t offset = 0; offset < medium.size(); offset += bytesPerSector) {
        const std::size_t size = std::min<std::size_t>(bytesPerSector, medium.size() - offset);
        if (random() % 2 == 0)
            FillText(medium.data() + offset, size, random);
        else
            FillRandom(medium.data() + offset, size, random);
    }
}
