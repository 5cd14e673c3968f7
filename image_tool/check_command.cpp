#include <iostream>

#include "image_tool/image_inspection.h"
#include "image_tool/tool_commands.h"
#include "task/shown_name.h"

namespace {

// What was proven, and what a user restoring the image should know.
std::string ValidVerdict(const InspectedImage& inspected)
{
    std::string verdict = inspected.facts.compressed ? "valid (compressed, checksum correct"
                                                     : "valid (raw data, no checksum to verify";
    const std::size_t unreadable = inspected.image.m_unreadableSectors.size();
    if (unreadable == 1)
        verdict += "; 1 sector was unreadable when it was made";
    else if (unreadable > 1)
        verdict += "; " + std::to_string(unreadable) + " sectors were unreadable when it was made";
    if (inspected.facts.unreadableListDamaged)
        verdict += "; its list of unreadable sectors is damaged and ignored";
    return verdict + ")";
}

}  // namespace

int CheckImage(const std::string& image)
{
    InspectedImage inspected;
    const bool valid = InspectImageFile(image, inspected);
    if (inspected.fileFailed)
        return RefuseInput(image, inspected.problem);
    std::cout << ShownName(image) << ": " << (valid ? ValidVerdict(inspected) : "invalid: " + inspected.problem) << '\n';
    return valid ? kExitDone : kExitBadInput;
}
