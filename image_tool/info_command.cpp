#include <nlohmann/json.hpp>

#include <cmath>
#include <iostream>

#include "console/shown_name.h"
#include "formats/media_types.h"
#include "image_tool/image_survey.h"
#include "image_tool/tool_commands.h"
#include "task/disk_digests.h"
#include "task/disk_facts_json.h"

namespace {

// Stored bytes for every raw byte, to four places.
double StorageRatio(const SurveyedImage& surveyed)
{
    const double ratio = static_cast<double>(surveyed.facts.storedSize) / surveyed.image.m_nSize;
    return std::round(ratio * 10000) / 10000;
}

std::string VersionText(const ImageTrailer& trailer)
{
    return std::to_string(trailer.VersionMajor) + "." + std::to_string(trailer.VersionMinor);
}

void PrintJson(const std::string& path, const SurveyedImage& surveyed, const DiskDigests& digests)
{
    const ImageFacts& facts = surveyed.facts;
    const DiskGeometry& g = surveyed.image.m_geometry;
    nlohmann::ordered_json report;
    report["file"] = path;
    report["format_version"] = VersionText(facts.trailer);
    report["image_offset"] = facts.imageOffset;
    report["image_size"] = facts.trailer.TotalSize;
    report["geometry"] = GeometryJson(g);
    report["media"] = DescribeMediaType(g.MediaType);
    report["raw_size"] = surveyed.image.m_nSize;
    report["stored_size"] = facts.storedSize;
    report["ratio"] = StorageRatio(surveyed);
    report["compressed"] = facts.compressed;
    report["unreadable_sectors"] = SectorsJson(surveyed.image.m_unreadableSectors, g);
    report["md5"] = digests.md5;
    report["sha1"] = digests.sha1;
    report["sha256"] = digests.sha256;
    report["sha512"] = digests.sha512;
    // A file name need not be UTF-8; it must not cost the report.
    std::cout << report.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
}

void PrintText(const std::string& path, const SurveyedImage& surveyed, const DiskDigests& digests)
{
    const ImageFacts& facts = surveyed.facts;
    const DiskGeometry& g = surveyed.image.m_geometry;
    std::cout << "Image file:          " << ShownName(path) << '\n'
              << "Format version:      " << VersionText(facts.trailer) << '\n'
              << "Image starts at:     byte " << facts.imageOffset << " of the file\n"
              << "Geometry:            " << g.Cylinders << " cylinders, " << g.TracksPerCylinder << " heads, "
              << g.SectorsPerTrack << " sectors of " << g.BytesPerSector << " bytes\n"
              << "Media type:          " << g.MediaType << ", " << DescribeMediaType(g.MediaType) << '\n'
              << "Raw size:            " << surveyed.image.m_nSize << " bytes\n"
              << "Stored size:         " << facts.storedSize << " bytes, "
              << (facts.compressed ? "compressed" : "raw") << ", ratio " << StorageRatio(surveyed) << '\n'
              << "Unreadable sectors:  " << surveyed.image.m_unreadableSectors.size() << '\n';
    for (const std::uint32_t index : surveyed.image.m_unreadableSectors) {
        const SectorPlace place = PlaceOf(g, index);
        std::cout << "                     cyl " << place.cylinder << ", sect " << place.sector << ", head "
                  << place.head << '\n';
    }
    std::cout << "MD5:                 " << digests.md5 << '\n'
              << "SHA-1:               " << digests.sha1 << '\n'
              << "SHA-256:             " << digests.sha256 << '\n'
              << "SHA-512:             " << digests.sha512 << '\n';
}

}  // namespace

int ShowImageInfo(const std::string& image, bool json)
{
    SurveyedImage surveyed;
    if (!SurveyImageFile(image, surveyed))
        return RefuseInput(image, surveyed.problem);
    DiskDigests digests;
    if (!ComputeDiskDigests(surveyed.image.m_pData.get(), surveyed.image.m_nSize, digests))
        return RefuseInput(image, "the hash library cannot compute MD5, SHA-1, SHA-256 and SHA-512 here");
    if (json)
        PrintJson(image, surveyed, digests);
    else
        PrintText(image, surveyed, digests);
    std::cout.flush();
    return std::cout ? kExitDone : RefuseInput("standard output", "cannot write");
}
