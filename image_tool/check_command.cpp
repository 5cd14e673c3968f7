#include <iostream>

#include "console/shown_name.h"
#include "image_tool/image_survey.h"
#include "image_tool/tool_commands.h"

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

}  // namespace

int CheckImage(const std::string& image)
{
    SurveyedImage surveyed;
    const bool valid = SurveyImageFile(image, surveyed);
    if (surveyed.fileFailed)
        return RefuseInput(image, surveyed.problem);
    std::cout << ShownName(image) << ": " << (valid ? ValidVerdict(surveyed) : "invalid: " + surveyed.problem) << '\n';
    return valid ? kExitDone : kExitBadInput;
}
