#include "image/image_target.h"

#include "platform/file_names.h"
#include "platform/last_error.h"

CImageTarget::~CImageTarget()
{
    Abandon();
}

bool CImageTarget::Create(const std::string& target, Previous previous)
{
    Abandon();
    if (!platform::ResolveLinks(target, m_strTarget))
        return false;
    // Holding the existing target open proves it can be replaced and keeps
    // others from reading a file that is about to change.
    if (platform::PathExists(m_strTarget)) {
        m_hTargetLock = previous == Previous::Read ? platform::OpenExistingForUpdating(m_strTarget)
                                                   : platform::OpenExistingForWriting(m_strTarget);
        if (m_hTargetLock == nullptr)
            return false;
        if (previous == Previous::Read)
            m_previous = std::make_unique<CDiskFile>(m_hTargetLock);
        // A file others may write can still be one we may not replace; the
        // disk must not be read for an image that would then be thrown away.
        if (!platform::CanReplace(m_strTarget)) {
            Abandon();
            return false;
        }
    }
    m_hTemporary = platform::CreateTemporaryBeside(m_strTarget, m_strTemporary);
    if (m_hTemporary == nullptr) {
        Abandon();
        return false;
    }
    m_file = std::make_unique<CDiskFile>(m_hTemporary);
    return true;
}

bool CImageTarget::Commit(const std::function<bool()>& cancelled)
{
    if (!m_file)
        return false;
    // The image becomes readable to others only as the target was.
    bool written = platform::TakeAccessOf(m_hTemporary, m_hTargetLock);
    try {
        m_file->Sync();
    } catch (const ImageFileError&) {
        written = false;
    }
    written = m_file->Close() && written;
    m_file.reset();
    m_hTemporary = nullptr;
    // Some systems refuse to replace a file that is still held open.
    ReleaseTarget();
    if (!written || cancelled() || !platform::ReplaceFile(m_strTemporary, m_strTarget)) {
        Abandon();
        return false;
    }
    m_strTemporary.clear();
    // Until the folder is on the medium, a power cut can bring the old file back.
    return platform::SyncFolderOf(m_strTarget);
}

void CImageTarget::Abandon()
{
    // Cleaning up must not hide why the image could not be made.
    platform::LastErrorGuard keepCause;
    m_file.reset();
    m_hTemporary = nullptr;
    if (!m_strTemporary.empty()) {
        platform::RemoveFile(m_strTemporary);
        m_strTemporary.clear();
    }
    ReleaseTarget();
}

void CImageTarget::ReleaseTarget()
{
    if (m_previous)
        m_previous.reset();  // it owns the handle
    else if (m_hTargetLock != nullptr)
        platform::CloseFile(m_hTargetLock);
    m_hTargetLock = nullptr;
}
