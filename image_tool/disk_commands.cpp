// files and extract over an image file: the disk as the restore reads it.
#include "image_tool/file_system_damage.h"
#include "image_tool/files_output.h"
#include "image_tool/image_survey.h"
#include "image_tool/tool_commands.h"

namespace {

DiskInMemory DiskOf(const std::string& image, SurveyedImage& surveyed)
{
    return {image, surveyed.disk.get(), surveyed.diskSize, surveyed.contents.geometry,
            &surveyed.contents.unreadableSectors};
}

}  // namespace

int ListFiles(const std::string& image, bool json)
{
    if (std::string problem; !CDiskFileSystem::Available(problem))
        return RefuseInput("files", problem);
    SurveyedImage surveyed;
    if (!SurveyImageFile(image, surveyed))
        return RefuseInput(image, surveyed.problem);
    return ListDiskFiles(DiskOf(image, surveyed), json);
}

int ExtractFiles(const std::string& image, const std::string& folder)
{
    if (std::string problem; !CDiskFileSystem::Available(problem))
        return RefuseInput("extract", problem);
    SurveyedImage surveyed;
    if (!SurveyImageFile(image, surveyed))
        return RefuseInput(image, surveyed.problem);
    return ExtractDiskFiles(DiskOf(image, surveyed), folder);
}
