#include <nlohmann/json.hpp>

#include <cmath>
#include <iostream>

#include "console/shown_name.h"
#include "formats/media_types.h"
#include "image_tool/disk_file_system.h"
#include "image_tool/image_survey.h"
#include "image_tool/tool_commands.h"
#include "task/disk_digests.h"
#include "task/disk_facts_json.h"

namespace {

// The file system as the disk holds it, without mending anything: its name
// and label lie outside the FAT.
FileSystemFacts FactsOf(const SurveyedImage& surveyed)
{
    const auto fs =
        CDiskFileSystem::Open(surveyed.disk.get(), surveyed.diskSize, surveyed.contents.geometry.BytesPerSector);
    return fs == nullptr ? FileSystemFacts{} : fs->Facts();
}

std::string FileSystemText(const FileSystemFacts& facts)
{
    if (std::string problem; !CDiskFileSystem::Available(problem))
        return problem;
    if (facts.type.empty())
        return "none that can be read";
    return facts.type + ", " + (facts.label.empty() ? "no label" : "label " + ShownName(facts.label));
}

// Stored bytes for every raw byte, to four places.
double StorageRatio(const SurveyedImage& surveyed)
{
    const double ratio = static_cast<double>(surveyed.contents.dataSize) / surveyed.diskSize;
    return std::round(ratio * 10000) / 10000;
}

std::string VersionText(const ImageTrailer& trailer)
{
    return std::to_string(trailer.VersionMajor) + "." + std::to_string(trailer.VersionMinor);
}

// A damaged list proves nothing: its sectors may hold zeros all the same.
std::string UnreadableCount(const SurveyedImage& surveyed)
{
    if (surveyed.contents.unreadableListDamaged)
        return "unknown: the image's list of them is damaged and ignored";
    return std::to_string(surveyed.contents.unreadableSectors.size());
}

void PrintJson(const std::string& path, const SurveyedImage& surveyed, const DiskDigests& digests,
               const FileSystemFacts& fs)
{
    const ImageContents& contents = surveyed.contents;
    const DiskGeometry& g = contents.geometry;
    nlohmann::ordered_json report;
    report["file"] = path;
    report["format_version"] = VersionText(contents.trailer);
    report["image_offset"] = contents.imageOffset;
    report["image_size"] = contents.trailer.TotalSize;
    report["geometry"] = GeometryJson(g);
    report["media"] = DescribeMediaType(g.MediaType);
    report["file_system"] = TextOrNull(fs.type);
    report["label"] = TextOrNull(fs.label);
    report["raw_size"] = surveyed.diskSize;
    report["stored_size"] = contents.dataSize;
    report["ratio"] = StorageRatio(surveyed);
    report["compressed"] = contents.compressed;
    report["unreadable_sectors"] = SectorsJson(contents.unreadableSectors, g);
    report["unreadable_list_damaged"] = contents.unreadableListDamaged;
    report["md5"] = digests.md5;
    report["sha1"] = digests.sha1;
    report["sha256"] = digests.sha256;
    report["sha512"] = digests.sha512;
    // A file name need not be UTF-8; it must not cost the report.
    std::cout << report.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
}

void PrintText(const std::string& path, const SurveyedImage& surveyed, const DiskDigests& digests,
               const FileSystemFacts& fs)
{
    const ImageContents& contents = surveyed.contents;
    const DiskGeometry& g = contents.geometry;
    std::cout << "Image file:          " << ShownName(path) << '\n'
              << "Format version:      " << VersionText(contents.trailer) << '\n'
              << "Image starts at:     byte " << contents.imageOffset << " of the file\n"
              << "Geometry:            " << g.Cylinders << " cylinders, " << g.TracksPerCylinder << " heads, "
              << g.SectorsPerTrack << " sectors of " << g.BytesPerSector << " bytes\n"
              << "Media type:          " << g.MediaType << ", " << DescribeMediaType(g.MediaType) << '\n'
              << "File system:         " << FileSystemText(fs) << '\n'
              << "Raw size:            " << surveyed.diskSize << " bytes\n"
              << "Stored size:         " << contents.dataSize << " bytes, "
              << (contents.compressed ? "compressed" : "raw") << ", ratio " << StorageRatio(surveyed) << '\n'
              << "Unreadable sectors:  " << UnreadableCount(surveyed) << '\n';
    for (const std::uint32_t index : contents.unreadableSectors) {
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
    if (!ComputeDiskDigests(surveyed.disk.get(), surveyed.diskSize, digests))
        return RefuseInput(image, "the hash library cannot compute MD5, SHA-1, SHA-256 and SHA-512 here");
    const FileSystemFacts fs = FactsOf(surveyed);
    if (json)
        PrintJson(image, surveyed, digests, fs);
    else
        PrintText(image, surveyed, digests, fs);
    return EndStandardOutput(kExitDone);
}
