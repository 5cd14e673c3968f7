#include "image/disk_file.h"
#include "task/copy_thread.h"
#include "task/shown_name.h"

#include <string>

namespace {

// The disk the image was made from had sectors that could not be read; the
// restored disk holds zeros there, and the user should know before writing.
void WarnOfUnreadableSectors(const CDiskImage& image)
{
    const std::size_t count = image.m_unreadableSectors.size();
    if (count == 1)
        image.PrintWarning("1 sector of this image could not be read when it was made and holds zeros.");
    else if (count > 1)
        image.PrintWarning(std::to_string(count) +
                           " sectors of this image could not be read when it was made and hold zeros.");
}

}  // namespace

JobOutcome CCopyThread::CreateDiskFromImage(CDiskDevice& device, const std::string& name)
{
    const auto file = CDiskFile::OpenForReading(name);
    if (!file) {
        PrintError("Image file '" + ShownName(name) + "' could not be opened.");
        return JobOutcome::Failed;
    }
    JobOutcome outcome = JobOutcome::Failed;
    const char* result = "Image file could not be read.";
    if (m_image.ReadFromFile(*file)) {
        WarnOfUnreadableSectors(m_image);
        // The writer starts afresh on its own flag; a Ctrl-C that came while
        // the file was read or expanded must still keep the disk untouched.
        if (!CheckCancel() && m_image.WriteToDevice(device)) {
            result = "Disk successfully created.";
            outcome = TransferOutcome(m_image);
        } else {
            result = "Disk could not be written.";
        }
    }
    Print(result, false);
    return outcome;
}
