#include <algorithm>

#include "console/console_log.h"
#include "image_tool/disk_map.h"

namespace {

constexpr char kGood = '.';
constexpr char kBad = 'X';
constexpr const char* kGreen = "\033[32m";
constexpr const char* kRed = "\033[1;37;41m";
constexpr const char* kPlain = "\033[0m";

// Row labels are as wide as "h1 s18 ".
std::string RowLabel(const DiskGeometry& g, std::uint32_t row)
{
    return FormatText("h%u s%-3u ", row / g.SectorsPerTrack + 1, row % g.SectorsPerTrack + 1);
}

std::string Axis(const DiskGeometry& g, std::size_t indent)
{
    std::string tens(indent, ' ');
    std::string units = "cyl" + std::string(indent - 3, ' ');
    for (std::uint32_t cylinder = 1; cylinder <= g.Cylinders; ++cylinder) {
        tens += cylinder % 10 == 0 ? static_cast<char>('0' + cylinder / 10 % 10) : ' ';
        units += static_cast<char>('0' + cylinder % 10);
    }
    return tens + '\n' + units + '\n';
}

}  // namespace

std::string GridText(const DiskMap& map, bool colour)
{
    const DiskGeometry& g = map.geometry;
    std::string text = Axis(g, RowLabel(g, 0).size());
    for (std::uint32_t row = 0; row < map.Rows(); ++row) {
        text += RowLabel(g, row);
        bool wasBad = false;
        for (std::uint32_t cylinder = 0; cylinder < g.Cylinders; ++cylinder) {
            const bool bad = map.Unreadable(cylinder, row);
            if (colour && (cylinder == 0 || bad != wasBad))
                text += bad ? kRed : kGreen;
            text += bad ? kBad : kGood;
            wasBad = bad;
        }
        text += colour ? std::string(kPlain) + '\n' : "\n";
    }
    const std::size_t count = map.unreadable->size();
    text += colour ? FormatText("%s%c%s good  %s%c%s unreadable", kGreen, kGood, kPlain, kRed, kBad, kPlain)
                   : FormatText("%c good  %c unreadable", kGood, kBad);
    return text +
           FormatText("  (%u of %u sectors unreadable)\n", static_cast<unsigned>(count), g.Cylinders * map.Rows());
}
