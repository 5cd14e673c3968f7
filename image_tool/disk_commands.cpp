// files and extract over an image file: the disk as the restore reads it.
#include <functional>

#include "image_tool/file_system_damage.h"
#include "image_tool/files_output.h"
#include "image_tool/image_survey.h"
#include "image_tool/tool_commands.h"

namespace {

// Without the library the image is not even read.
int OnDiskOf(const char* command, const std::string& image, const std::function<int(const DiskInMemory&)>& run)
{
    if (std::string problem; !CDiskFileSystem::Available(problem))
        return RefuseInput(command, problem);
    SurveyedImage surveyed;
    if (!SurveyImageFile(image, surveyed))
        return RefuseInput(image, surveyed.problem);
    return run({image, surveyed.disk.get(), surveyed.diskSize, surveyed.contents.geometry,
                &surveyed.contents.unreadableSectors});
}

}  // namespace

int ListFiles(const std::string& image, bool json)
{
    return OnDiskOf("files", image, [json](const DiskInMemory& disk) { return ListDiskFiles(disk, json); });
}

int ExtractFiles(const std::string& image, const std::string& folder)
{
    return OnDiskOf("extract", image, [&folder](const DiskInMemory& disk) { return ExtractDiskFiles(disk, folder); });
}
