#include "image/disk_file.h"
#include "task/copy_thread.h"

JobOutcome CCopyThread::CreateDiskFromImage(CDiskDevice& device, const std::string& name)
{
    const auto file = CDiskFile::OpenForReading(name);
    if (!file) {
        PrintError("Image file '" + name + "' could not be opened.");
        return JobOutcome::Failed;
    }
    JobOutcome outcome = JobOutcome::Failed;
    const char* result = "Image file could not be read.";
    if (m_image.ReadFromFile(*file)) {
        if (m_image.WriteToDevice(device)) {
            result = "Disk successfully created.";
            outcome = TransferOutcome(m_image);
        } else {
            result = "Disk could not be written.";
        }
    }
    Print(result, false);
    return outcome;
}
