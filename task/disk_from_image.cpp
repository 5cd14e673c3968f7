#include <string>

#include "floppy/count_of_sectors.h"
#include "task/copy_thread.h"

namespace {

// The disk the image was made from had sectors that could not be read; the
// restored disk holds zeros there, and the user should know before writing.
void WarnOfUnreadableSectors(const CDiskImage& image)
{
    if (image.m_bUnreadableListDamaged)
        image.PrintWarning("The list of unreadable sectors in this image is damaged and is ignored.");
    const std::size_t count = image.m_unreadableSectors.size();
    if (count > 0)
        image.PrintWarning(CountOfSectors(count) + " of this image could not be read when it was made and " +
                           (count == 1 ? "holds" : "hold") + " zeros.");
}

}  // namespace

JobOutcome CCopyThread::CreateDiskFromImage(CDiskDevice& device, const std::string& name)
{
    const auto file = ReadImageFile(device, name);
    if (!file)
        return JobOutcome::Failed;
    WarnOfUnreadableSectors(m_image);
    NoteRawDisk(m_pReport, m_image);
    // The writer starts afresh on its own flag; a Ctrl-C that came while
    // the file was read or expanded must still keep the disk untouched.
    if (CheckCancel()) {
        Print("Disk could not be written.", false);
        return JobOutcome::Failed;
    }
    return WriteDiskAndReport(device);
}

JobOutcome CCopyThread::WriteDiskAndReport(CDiskDevice& device)
{
    // A disk that reads back other bytes than the image is no restored disk.
    const bool written = m_image.WriteToDevice(device);
    const bool done = written && (!m_bVerify || m_image.VerifyOnDevice(device));
    if (m_pReport != nullptr) {
        m_pReport->failedSectors = m_image.m_skippedSectors.size();
        m_pReport->verifyFailed = written && !done && !m_image.m_bCancel;
    }
    if (!done)
        Print("Disk could not be written.", false);
    else if (m_bVerify && !m_image.m_skippedSectors.empty())
        Print("Disk created, but " + CountOfSectors(m_image.m_skippedSectors.size()) + " could not be written.", false);
    else
        Print("Disk successfully created.", false);
    return done ? TransferOutcome() : JobOutcome::Failed;
}
