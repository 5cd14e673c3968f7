#include <nlohmann/json.hpp>

#include <iostream>

#include "console/console_log.h"
#include "console/shown_name.h"
#include "image_tool/image_survey.h"
#include "image_tool/tool_commands.h"
#include "task/disk_digests.h"
#include "task/text_file.h"

namespace {

// What was proven, and what a user restoring the image should know.
std::string ValidVerdict(const SurveyedImage& surveyed)
{
    const ImageContents& contents = surveyed.contents;
    std::string verdict = contents.compressed ? "valid (compressed, checksum correct"
                                              : "valid (raw data, no checksum to verify";
    const std::size_t unreadable = contents.unreadableSectors.size();
    if (unreadable == 1)
        verdict += "; 1 sector was unreadable when it was made";
    else if (unreadable > 1)
        verdict += "; " + std::to_string(unreadable) + " sectors were unreadable when it was made";
    if (contents.unreadableListDamaged)
        verdict += "; its list of unreadable sectors is damaged and ignored";
    return verdict + ")";
}

// The hashes of the record that differ from those of the image and its
// raw disk, as "md5, image_sha256"; empty when all agree.
std::string DifferingHashes(const nlohmann::json& record, const DiskDigests& disk, const std::string& file)
{
    const std::pair<const char*, const std::string&> hashes[] = {
        {"md5", disk.md5}, {"sha1", disk.sha1}, {"sha256", disk.sha256}, {"sha512", disk.sha512}, {"image_sha256", file}};
    std::string differing;
    for (const auto& [name, value] : hashes) {
        const auto field = record.find(name);
        if (field == record.end() || !field->is_string() || field->get<std::string>() != value)
            differing += (differing.empty() ? "" : ", ") + std::string(name);
    }
    return differing;
}

// The fixity check archives run: the image and its disk still hash as the
// record beside them says.
int CheckAgainstRecord(const std::string& image, const SurveyedImage& surveyed, const std::string& recordPath)
{
    std::string text;
    if (!ReadWholeText(recordPath, text))
        return RefuseInput(recordPath, LastErrorText());
    const nlohmann::json record = nlohmann::json::parse(text, nullptr, false);
    if (!record.is_object())
        return RefuseInput(recordPath, "not a record (no JSON object)");
    DiskDigests disk;
    std::string file;
    if (!ComputeDiskDigests(surveyed.disk.get(), surveyed.diskSize, disk))
        return RefuseInput(image, "the hash library cannot compute MD5, SHA-1, SHA-256 and SHA-512 here");
    if (!ComputeFileSha256(image, file))
        return RefuseInput(image, LastErrorText());
    const std::string differing = DifferingHashes(record, disk, file);
    if (!differing.empty())
        return RefuseInput(image, "differs from its record " + ShownName(recordPath) + ": " + differing);
    return kExitDone;
}

}  // namespace

int CheckImage(const std::string& image, const std::string& record)
{
    SurveyedImage surveyed;
    const bool valid = SurveyImageFile(image, surveyed);
    if (surveyed.fileFailed)
        return RefuseInput(image, surveyed.problem);
    std::cout << ShownName(image) << ": " << (valid ? ValidVerdict(surveyed) : "invalid: " + surveyed.problem) << '\n';
    const int printed = EndStandardOutput(valid ? kExitDone : kExitBadInput);
    if (printed != kExitDone || record.empty())
        return printed;
    return CheckAgainstRecord(image, surveyed, record);
}
