// The steps -i and -i -r share around the new image file: creating it and
// putting it in the place of the old one, each with the lines of a failure.
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

bool CCopyThread::CommitTarget(CImageTarget& target, const std::string& name)
{
    if (target.Commit([this] { return CheckCancel(); }))
        return true;
    Print("Image file could not be written.", false);
    if (!m_bCancel)
        NoteFileFailure(name);
    return false;
}
