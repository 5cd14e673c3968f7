#include <iostream>

#include "console/console_log.h"
#include "image/image_target.h"
#include "image_tool/disk_map.h"
#include "image_tool/image_survey.h"
#include "image_tool/tool_commands.h"
#include "platform/console.h"

namespace {

// Into a new file beside the target, which replaces it only when complete.
bool WriteWhole(const std::string& path, const std::string& text)
{
    CImageTarget target;
    if (!target.Create(path))
        return RefuseInput(path, "cannot create: " + LastErrorText()) == kExitDone;
    try {
        target.File().Write(text.data(), text.size());
    } catch (const ImageFileError&) {
        return RefuseInput(path, "cannot write: " + LastErrorText()) == kExitDone;
    }
    return CommitNewFile(target, path) == kExitDone;
}

}  // namespace

int MapDisk(const std::string& image, const std::string& svg, const std::string& ddrescue)
{
    SurveyedImage surveyed;
    if (!SurveyImageFile(image, surveyed))
        return RefuseInput(image, surveyed.problem);
    const DiskMap map{surveyed.contents.geometry, &surveyed.contents.unreadableSectors};
    if (!svg.empty() && !WriteWhole(svg, SvgPicture(map)))
        return kExitBadInput;
    if (!ddrescue.empty() &&
        !WriteWhole(ddrescue, DdrescueMapFile(map, std::string("mendarovel-image ") + MENDAROVEL_VERSION)))
        return kExitBadInput;
    std::cout << GridText(map, platform::PrepareColourOutput());
    return EndStandardOutput(kExitDone);
}
