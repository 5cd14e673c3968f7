#include <cstdio>

#include "console/console_log.h"
#include "image_tool/image_survey.h"
#include "image_tool/tool_commands.h"
#include "platform/console.h"
#include "platform/file_names.h"

namespace {

int ExportToStandardOutput(const SurveyedImage& surveyed)
{
    if (!platform::MakeStandardOutputBinary())
        return RefuseInput("standard output", "cannot take binary data: " + LastErrorText());
    const bool written = std::fwrite(surveyed.disk.get(), 1, surveyed.diskSize, stdout) == surveyed.diskSize &&
                         std::fflush(stdout) == 0;
    return written ? kExitDone : RefuseStandardOutput("cannot write");
}

}  // namespace

int ExportRawDisk(const std::string& image, const std::string& raw)
{
    // A disk's bytes on a terminal only garble it.
    if (raw == "-" && platform::StandardOutputIsTerminal())
        return RefuseInput("standard output", "is a terminal; redirect it (> disk.img) or name a file for the raw disk");
    if (raw != "-" && platform::SameFile(image, raw))
        return RefuseSameFile(raw);
    SurveyedImage surveyed;
    if (!SurveyImageFile(image, surveyed))
        return RefuseInput(image, surveyed.problem);
    if (raw == "-")
        return ExportToStandardOutput(surveyed);
    return WriteNewFile(raw, {reinterpret_cast<const char*>(surveyed.disk.get()), surveyed.diskSize});
}
