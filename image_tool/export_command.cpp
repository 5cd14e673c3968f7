#include <cstdio>

#include "console/console_log.h"
#include "image/image_target.h"
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

// Into a new file beside the target, which replaces it only when complete.
int ExportToFile(const SurveyedImage& surveyed, const std::string& raw)
{
    CImageTarget target;
    if (!target.Create(raw))
        return RefuseInput(raw, "cannot create: " + LastErrorText());
    try {
        target.File().Write(surveyed.disk.get(), surveyed.diskSize);
    } catch (const ImageFileError&) {
        return RefuseInput(raw, "cannot write: " + LastErrorText());
    }
    return CommitNewFile(target, raw);
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
    return raw == "-" ? ExportToStandardOutput(surveyed) : ExportToFile(surveyed, raw);
}
