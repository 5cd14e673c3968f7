#include <algorithm>
#include <iterator>

#include "image/image_writer.h"
#include "task/copy_thread.h"

namespace {

// The sectors of `listed` that the rescue took off the image's list.
void NoteRescue(JobReport* report, const CDiskImage& image, const std::vector<std::uint32_t>& listed)
{
    if (report == nullptr)
        return;
    NoteRawDisk(report, image);
    report->rescued.clear();
    std::set_difference(listed.begin(), listed.end(), image.m_unreadableSectors.begin(),
                        image.m_unreadableSectors.end(), std::back_inserter(report->rescued));
}

// False, with the line that says why, when rewriting the file would lose
// part of what it holds.
bool CanRewrite(const CDiskImage& image)
{
    switch (CheckRewrite(image.m_surroundings)) {
    case RewriteFault::NewerMajorVersion:
        image.PrintError("This image has a newer format version; rescuing it would lose what this version does not know.");
        return false;
    case RewriteFault::TooManyRecords:
        image.PrintError("This image holds more records than a rescue can carry over.");
        return false;
    case RewriteFault::None:
        break;
    }
    return true;
}

}  // namespace

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
    if (!CanRewrite(m_image))
        return JobOutcome::Failed;
    // The new file is made partly of the old one's bytes: what lies before the
    // image and the records this program does not use.
    CImageTarget target;
    if (!CreateTarget(target, name, CImageTarget::Previous::Read))
        return JobOutcome::Failed;
    const std::vector<std::uint32_t> listed = m_image.m_unreadableSectors;
    if (CheckCancel() || !m_image.RescueFromDevice(device))
        return JobOutcome::Failed;
    NoteRescue(m_pReport, m_image, listed);  // before the data is compressed
    if (m_image.m_unreadableSectors.size() == listed.size()) {
        Print("No sector could be rescued.", false);
        return JobOutcome::CompletedWithSkips;
    }
    return StoreImage(target, name, true);
}
