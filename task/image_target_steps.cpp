// The steps -i and -i -r share around the new image file: creating it, and
// writing it and putting it in the place of the old one.
#include "console/shown_name.h"
#include "task/copy_thread.h"

namespace {

// The job's own line does not give the system's reason.
void NoteFileFailure(const std::string& name)
{
    PrintNote(ShownName(name) + ": " + LastErrorText());
}

}  // namespace

bool CCopyThread::CreateTarget(CImageTarget& target, const std::string& name, CImageTarget::Previous previous)
{
    if (target.Create(name, previous))
        return true;
    PrintError("Image file '" + ShownName(name) + "' could not be created.");
    NoteFileFailure(name);
    return false;
}

JobOutcome CCopyThread::StoreImage(CImageTarget& target, const std::string& name, bool update)
{
    if (!m_image.WriteToFile(target.File(), update ? target.PreviousFile() : nullptr)) {
        if (update)
            Print("failed", true);
        Print("Image file could not be written.", false);
        return JobOutcome::Failed;
    }
    if (!target.Commit([this] { return CheckCancel(); })) {
        Print("Image file could not be written.", false);
        if (!m_bCancel)
            NoteFileFailure(name);
        return JobOutcome::Failed;
    }
    Print(update ? "Image file successfully updated." : "Image file successfully created.", false);
    if (m_pReport != nullptr)
        m_pReport->imageWritten = true;
    return TransferOutcome();
}
