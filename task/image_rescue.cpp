#include "console/shown_name.h"
#include "image/image_target.h"
#include "task/copy_thread.h"

// Re-reads the sectors the image file lists as unreadable and replaces the
// file with the merged image, only when at least one sector was rescued. A
// Ctrl-C at any stage leaves the file as it was; the stages that clear the
// image's own flag must not lose one that came before them.
JobOutcome CCopyThread::RescueImageFromDisk(CDiskDevice& device, const std::string& name)
{
    // The file is closed again before the target is created: a reader's share
    // would keep it from being replaced.
    if (!ReadImageFile(device, name))
        return JobOutcome::Failed;
    if (!m_image.HoldsWholeRawDisk()) {
        Print("Image file could not be read.", false);
        return JobOutcome::Failed;
    }
    if (CheckCancel())
        return JobOutcome::Failed;
    // Which sectors hold zeros is unknown: a rescue of none would call the
    // image clean.
    if (m_image.m_bUnreadableListDamaged) {
        PrintError("The list of unreadable sectors in this image is damaged; the sectors to rescue are unknown.");
        return JobOutcome::Failed;
    }
    if (m_image.m_unreadableSectors.empty()) {
        Print("Nothing to rescue: the image lists no unreadable sectors.", false);
        return JobOutcome::Completed;
    }
    CImageTarget target;
    if (!target.Create(name)) {
        PrintError("Image file '" + ShownName(name) + "' could not be created.");
        return JobOutcome::Failed;
    }
    const std::size_t listed = m_image.m_unreadableSectors.size();
    if (CheckCancel() || !m_image.RescueFromDevice(device))
        return JobOutcome::Failed;
    if (m_image.m_unreadableSectors.size() == listed) {
        Print("No sector could be rescued.", false);
        return JobOutcome::CompletedWithSkips;
    }
    if (!m_image.WriteToFile(target.File())) {
        Print("failed", true);
        Print("Image file could not be written.", false);
        return JobOutcome::Failed;
    }
    if (!target.Commit([this] { return CheckCancel(); })) {
        Print("Image file could not be written.", false);
        return JobOutcome::Failed;
    }
    Print("Image file successfully updated.", false);
    return TransferOutcome();
}
