#include "task/disk_record.h"

#include <nlohmann/json.hpp>

#include "formats/media_types.h"
#include "platform/file_names.h"
#include "task/disk_facts_json.h"
#include "task/text_file.h"

using Json = nlohmann::ordered_json;

namespace {

Json RunJson(const RunFacts& run, const JobReport& report)
{
    Json entry = {{"job", run.job},
                  {"program", "mendarovel"},
                  {"version", MENDAROVEL_VERSION},
                  {"command", run.command},
                  {"drive", run.drive},
                  {"device", run.device},
                  {"started", run.started},
                  {"ended", run.ended},
                  {"exit_status", run.exitStatus},
                  {"fixed_sectors", SectorsJson(report.fixed, report.geometry)}};
    if (run.job == "rescue")
        entry["rescued_sectors"] = SectorsJson(report.rescued, report.geometry);
    return entry;
}

Json RecordJson(const std::string& image, const std::string& note, const JobReport& report,
                const std::string& imageSha256, Json runs)
{
    const DiskGeometry& g = report.geometry;
    return {{"image", image},
            {"note", note},
            {"result", report.unreadable.empty() ? "complete" : "partial"},
            {"geometry", GeometryJson(g)},
            {"media", DescribeMediaType(g.MediaType)},
            {"sectors", SectorCount(g)},
            {"unreadable_sectors", SectorsJson(report.unreadable, g)},
            {"md5", report.digests.md5},
            {"sha1", report.digests.sha1},
            {"sha256", report.digests.sha256},
            {"sha512", report.digests.sha512},
            {"image_sha256", imageSha256},
            {"runs", std::move(runs)}};
}

// The note and earlier runs of the record a rescue adds to; none when there
// is no record yet. False when one is there but is no record.
bool ReadEarlierRecord(const std::string& path, std::string& note, Json& runs)
{
    runs = Json::array();
    if (!platform::PathExists(path))
        return true;
    std::string text;
    if (!ReadWholeText(path, text))
        return false;
    const Json earlier = Json::parse(text, nullptr, false);
    if (!earlier.is_object() || !earlier.contains("runs") || !earlier["runs"].is_array())
        return false;
    if (earlier.contains("note") && earlier["note"].is_string())
        note = earlier["note"].get<std::string>();
    runs = earlier["runs"];
    return true;
}

}  // namespace

std::string RecordNameOf(const std::string& image)
{
    const std::size_t folderEnd = image.find_last_of("/\\");
    const std::size_t nameStart = folderEnd == std::string::npos ? 0 : folderEnd + 1;
    const std::size_t dot = image.rfind('.');
    // A dot that starts the name (".dsk") names no extension.
    if (dot == std::string::npos || dot <= nameStart)
        return image + ".json";
    return image.substr(0, dot) + ".json";
}

bool WriteDiskRecord(const RunFacts& run, const JobReport& report, std::string& problem)
{
    const std::string path = RecordNameOf(run.image);
    std::string imageSha256;
    if (!report.hasRawDisk || !ComputeFileSha256(run.image, imageSha256)) {
        problem = "the hashes of the disk and its image could not be computed";
        return false;
    }
    std::string kept = run.note;
    Json runs = Json::array();
    if (run.job == "rescue" && !ReadEarlierRecord(path, kept, runs)) {
        problem = "the record there is no record of this program; it was left as it is";
        return false;
    }
    runs.push_back(RunJson(run, report));
    const Json record = RecordJson(run.image, kept, report, imageSha256, std::move(runs));
    // A name or note need not be UTF-8; it must not cost the record.
    if (!ReplaceWithText(path, record.dump(2, ' ', false, Json::error_handler_t::replace) + "\n")) {
        problem = "the record could not be written";
        return false;
    }
    return true;
}
