#include "image/image_target.h"

namespace {

// Another party may pick a name between our choice and our creation; a few
// attempts make that harmless without looping forever on a folder we cannot
// write to.
constexpr unsigned kNameAttempts = 16;

}  // namespace

CImageTarget::~CImageTarget()
{
    Abandon();
}

bool CImageTarget::Create(const std::string& target)
{
    Abandon();
    m_strTarget = target;
    // Holding the existing target open proves it can be replaced and keeps
    // others from reading a file that is about to change.
    if (platform::PathExists(target)) {
        m_hTargetLock = platform::OpenExistingForWriting(target);
        if (m_hTargetLock == nullptr)
            return false;
    }
    for (unsigned attempt = 0; attempt < kNameAttempts; ++attempt) {
        const std::string name = platform::SiblingTemporaryName(target, attempt);
        m_file = CDiskFile::CreateNew(name);
        if (m_file) {
            m_strTemporary = name;
            return true;
        }
        if (!platform::PathExists(name))
            break;  // the folder takes no new file at all
    }
    Abandon();
    return false;
}

bool CImageTarget::Commit()
{
    if (!m_file)
        return false;
    bool written = true;
    try {
        m_file->Sync();
    } catch (const ImageFileError&) {
        written = false;
    }
    written = m_file->Close() && written;
    m_file.reset();
    // Some systems refuse to replace a file that is still held open.
    if (m_hTargetLock != nullptr) {
        platform::CloseFile(m_hTargetLock);
        m_hTargetLock = nullptr;
    }
    if (!written || !platform::ReplaceFile(m_strTemporary, m_strTarget)) {
        Abandon();
        return false;
    }
    m_strTemporary.clear();
    return true;
}

void CImageTarget::Abandon()
{
    m_file.reset();
    if (!m_strTemporary.empty()) {
        platform::RemoveFile(m_strTemporary);
        m_strTemporary.clear();
    }
    if (m_hTargetLock != nullptr) {
        platform::CloseFile(m_hTargetLock);
        m_hTargetLock = nullptr;
    }
}
