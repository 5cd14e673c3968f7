#include "task/image_rescue.h"

#include "console/shown_name.h"
#include "image/disk_file.h"
#include "image/image_target.h"
#include "task/copy_thread.h"

namespace {

// The file is closed again before the target is created: a reader's share
// would keep it from being replaced.
bool ReadImageToRescue(const CConsoleLog& job, CDiskImage& image, CDiskDevice& device, const std::string& name)
{
    const auto file = CDiskFile::OpenForReading(name);
    if (!file) {
        job.PrintError("Image file '" + ShownName(name) + "' could not be opened.");
        return false;
    }
    image.m_nLargestDisk = LargestUsefulImage(device);
    if (!image.ReadFromFile(*file) || !image.HoldsWholeRawDisk()) {
        job.Print("Image file could not be read.", false);
        return false;
    }
    return true;
}

}  // namespace

JobOutcome RescueImage(const CConsoleLog& job, CDiskImage& image, CDiskDevice& device, const std::string& name)
{
    // A Ctrl-C at any stage leaves the file as it was; the stages that clear
    // the image's own flag must not lose one that came before them.
    if (!ReadImageToRescue(job, image, device, name) || job.CheckCancel())
        return JobOutcome::Failed;
    if (image.m_unreadableSectors.empty()) {
        job.Print("Nothing to rescue: the image lists no unreadable sectors.", false);
        return JobOutcome::Completed;
    }
    CImageTarget target;
    if (!target.Create(name)) {
        job.PrintError("Image file '" + ShownName(name) + "' could not be created.");
        return JobOutcome::Failed;
    }
    const std::size_t listed = image.m_unreadableSectors.size();
    if (job.CheckCancel() || !image.RescueFromDevice(device))
        return JobOutcome::Failed;
    if (image.m_unreadableSectors.size() == listed) {
        job.Print("No sector could be rescued.", false);
        return JobOutcome::CompletedWithSkips;
    }
    if (!image.WriteToFile(target.File()) || job.CheckCancel() || !target.Commit()) {
        job.Print("Image file could not be written.", false);
        return JobOutcome::Failed;
    }
    job.Print("Image file successfully updated.", false);
    return TransferOutcome(image);
}

JobOutcome CCopyThread::RescueImageFromDisk(CDiskDevice& device, const std::string& name)
{
    return RescueImage(*this, m_image, device, name);
}
