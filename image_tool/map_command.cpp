#include <iostream>

#include "image_tool/disk_map.h"
#include "image_tool/image_survey.h"
#include "image_tool/tool_commands.h"
#include "platform/console.h"

int MapDisk(const std::string& image, const std::string& svg, const std::string& ddrescue)
{
    SurveyedImage surveyed;
    if (!SurveyImageFile(image, surveyed))
        return RefuseInput(image, surveyed.problem);
    const DiskMap map{surveyed.contents.geometry, &surveyed.contents.unreadableSectors};
    if (!svg.empty() && WriteNewFile(svg, SvgPicture(map)) != kExitDone)
        return kExitBadInput;
    const std::string program = std::string("mendarovel-image ") + MENDAROVEL_VERSION;
    if (!ddrescue.empty() && WriteNewFile(ddrescue, DdrescueMapFile(map, program)) != kExitDone)
        return kExitBadInput;
    std::cout << GridText(map, platform::PrepareColourOutput());
    return EndStandardOutput(kExitDone);
}
