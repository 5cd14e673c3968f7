#pragma once

#include <functional>
#include <memory>
#include <string>

#include "image/disk_file.h"

// A new image that takes the place of the target only once it is complete:
// it is written to a new file in the target's folder and moved over the target
// by Commit. Until then, and after any failure, the target stays as it was.
// Only a regular file is ever replaced; a target reached through symbolic
// links is the file they lead to, so the links stay links.
class CImageTarget {
public:
    CImageTarget() = default;
    ~CImageTarget();  // abandons an uncommitted file
    CImageTarget(const CImageTarget&) = delete;
    CImageTarget& operator=(const CImageTarget&) = delete;

    // False when the image cannot be created there: the folder takes no new
    // file, or an existing target cannot be written (not a regular file, a
    // read-only or locked file) or replaced (another's file in a sticky
    // folder). The last error tells why.
    // How the existing target is held until it is replaced: only to be
    // replaced, or readable too, for a new file made partly of its bytes.
    enum class Previous { Replaced, Read };
    bool Create(const std::string& target, Previous previous = Previous::Replaced);
    CImageFile& File() { return *m_file; }
    // The existing target, held since Create with Previous::Read; null when
    // there was none or it was not asked for.
    CImageFile* PreviousFile() { return m_previous.get(); }

    // The one order of every replace: the new file is flushed and closed,
    // then `cancelled` is asked (a Ctrl-C during a slow flush must still keep
    // the target), then the file is moved over the target and the folder
    // flushed, so that success is reported only of a replace that will last.
    // False when it was cancelled or anything failed; the new file is then
    // removed (a folder that cannot be flushed leaves the target replaced).
    bool Commit(const std::function<bool()>& cancelled);

private:
    void Abandon();
    void ReleaseTarget();

    std::string m_strTarget;
    std::string m_strTemporary;
    std::unique_ptr<CDiskFile> m_file;
    platform::FileHandle m_hTemporary = nullptr;  // m_file's, for its permissions
    platform::FileHandle m_hTargetLock = nullptr;  // held on an existing target
    std::unique_ptr<CDiskFile> m_previous;          // owns m_hTargetLock when it is read
};
