#include "task/copy_thread.h"

JobOutcome CCopyThread::CreateImageFromDisk(CDiskDevice& device, const std::string& name)
{
    // The new image replaces an existing file only once it is complete.
    CImageTarget target;
    if (!CreateTarget(target, name, CImageTarget::Previous::Replaced))
        return JobOutcome::Failed;
    // The reader starts afresh on its own flag; a Ctrl-C while the drive was
    // being opened is the job's and must not be lost. Likewise one during
    // compressing, writing or flushing: the earlier image stays until the
    // new one is on the medium.
    if (CheckCancel() || !m_image.ReadFromDevice(device)) {
        Print("Floppy disk could not be read.", false);
        return JobOutcome::Failed;
    }
    NoteRawDisk(m_pReport, m_image);  // before the data is compressed
    return StoreImage(target, name, false);
}
