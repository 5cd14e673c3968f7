#include "console/shown_name.h"
#include "image/image_target.h"
#include "task/copy_thread.h"
#include "task/file_notes.h"

JobOutcome CCopyThread::CreateImageFromDisk(CDiskDevice& device, const std::string& name)
{
    // The new image replaces an existing file only once it is complete.
    CImageTarget target;
    if (!target.Create(name)) {
        PrintError("Image file '" + ShownName(name) + "' could not be created.");
        NoteFileFailure(name);
        return JobOutcome::Failed;
    }
    JobOutcome outcome = JobOutcome::Failed;
    const char* result = "Floppy disk could not be read.";
    bool replaceFailed = false;
    // The reader starts afresh on its own flag; a Ctrl-C while the drive was
    // being opened is the job's and must not be lost. Likewise one during
    // compressing, writing or flushing: the earlier image stays until the
    // new one is on the medium.
    if (!CheckCancel() && m_image.ReadFromDevice(device)) {
        NoteRawDisk(m_pReport, m_image);  // before the data is compressed
        if (!m_image.WriteToFile(target.File())) {
            result = "Image file could not be written.";
        } else if (!target.Commit([this] { return CheckCancel(); })) {
            result = "Image file could not be written.";
            replaceFailed = !m_bCancel;
        } else {
            result = "Image file successfully created.";
            outcome = TransferOutcome();
            if (m_pReport != nullptr)
                m_pReport->imageWritten = true;
        }
    }
    Print(result, false);
    if (replaceFailed)
        NoteFileFailure(name);
    return outcome;
}
