#include "console/console_log.h"
#include "image_tool/disk_map.h"

namespace {

constexpr unsigned kCell = 8;
constexpr unsigned kLeft = 48;  // room for the row labels
constexpr unsigned kTop = 24;   // and for the cylinder numbers

std::string Cell(std::uint32_t cylinder, std::uint32_t row, const char* kind)
{
    return FormatText("<rect class=\"%s\" x=\"%u\" y=\"%u\" width=\"%u\" height=\"%u\"/>\n", kind,
                      kLeft + cylinder * kCell, kTop + row * kCell, kCell, kCell);
}

std::string Labels(const DiskMap& map)
{
    const DiskGeometry& g = map.geometry;
    std::string text;
    for (std::uint32_t cylinder = 1; cylinder <= g.Cylinders; ++cylinder)
        if (cylinder == 1 || cylinder % 10 == 0)
            text += FormatText("<text x=\"%u\" y=\"%u\" text-anchor=\"middle\">%u</text>\n",
                               kLeft + (cylinder - 1) * kCell + kCell / 2, kTop - 4, cylinder);
    for (std::uint32_t row = 0; row < map.Rows(); ++row)
        if (row % g.SectorsPerTrack == 0 || (row % g.SectorsPerTrack + 1) % 5 == 0)
            text +=
                FormatText("<text x=\"%u\" y=\"%u\" text-anchor=\"end\">h%u s%u</text>\n", kLeft - 4,
                           kTop + row * kCell + kCell - 1, row / g.SectorsPerTrack + 1, row % g.SectorsPerTrack + 1);
    return text;
}

}  // namespace

std::string SvgPicture(const DiskMap& map)
{
    const DiskGeometry& g = map.geometry;
    const unsigned width = kLeft + g.Cylinders * kCell + 8;
    const unsigned gridBottom = kTop + map.Rows() * kCell;
    const unsigned height = gridBottom + 40;
    std::string svg = FormatText("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                 "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%u\" height=\"%u\" "
                                 "viewBox=\"0 0 %u %u\" font-family=\"sans-serif\" font-size=\"7\">\n"
                                 "<title>Disk map: %u cylinders, %u heads, %u sectors per track</title>\n"
                                 "<style>.good{fill:#3a3;stroke:#fff;stroke-width:0.5}"
                                 ".bad{fill:#d22;stroke:#fff;stroke-width:0.5}</style>\n"
                                 "<rect width=\"100%%\" height=\"100%%\" fill=\"#fff\"/>\n",
                                 width, height, width, height, g.Cylinders, g.TracksPerCylinder, g.SectorsPerTrack);
    svg += FormatText("<text x=\"4\" y=\"%u\">cylinder</text>\n", kTop - 4);
    for (std::uint32_t row = 0; row < map.Rows(); ++row)
        for (std::uint32_t cylinder = 0; cylinder < g.Cylinders; ++cylinder)
            svg += Cell(cylinder, row, map.Unreadable(cylinder, row) ? "bad" : "good");
    svg += Labels(map);
    svg += FormatText("<rect class=\"good\" x=\"%u\" y=\"%u\" width=\"%u\" height=\"%u\"/>"
                      "<text x=\"%u\" y=\"%u\">good</text>\n"
                      "<rect class=\"bad\" x=\"%u\" y=\"%u\" width=\"%u\" height=\"%u\"/>"
                      "<text x=\"%u\" y=\"%u\">unreadable (%u of %u sectors)</text>\n",
                      kLeft, gridBottom + 12, kCell, kCell, kLeft + 12, gridBottom + 19, kLeft + 48, gridBottom + 12,
                      kCell, kCell, kLeft + 60, gridBottom + 19, static_cast<unsigned>(map.unreadable->size()),
                      g.Cylinders * map.Rows());
    return svg + "</svg>\n";
}
