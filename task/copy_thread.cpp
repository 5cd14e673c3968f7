#include "task/copy_thread.h"

#include "platform/platform_info.h"
#include "task/drive_notes.h"

std::mutex& CCopyThread::LifetimeLock()
{
    static std::mutex lock;
    return lock;
}

CCopyThread::~CCopyThread()
{
    // Completion is signalled before any member goes away, and under the lock
    // so that a Ctrl-C handler never writes into a dying object.
    std::lock_guard<std::mutex> lock(LifetimeLock());
    if (m_pnSkipped != nullptr)
        *m_pnSkipped = m_image.m_skippedSectors.size();
    if (m_pbDone != nullptr)
        *m_pbDone = true;
}

void CCopyThread::CancelAll()
{
    m_bCancel = true;
    m_floppyNT.m_bCancel = true;
    m_floppy9x.m_bCancel = true;
    m_image.m_bCancel = true;
}

JobOutcome CCopyThread::Execute(OperationMode mode, DriveVolume volume)
{
    m_bCancel = false;
    CFloppyDevice* device = &m_floppyNT;
    if (platform::IsWindows9x()) {
        PrintWarning("This program has not been tested under Windows 95/98/ME...");
        device = &m_floppy9x;
    }

    JobOutcome outcome = JobOutcome::Failed;
    Print("Opening floppy device...", false);
    device->m_bReadOnly = mode != OpDiskFromImage;
    if (!device->Open(volume, false)) {
        Print("failed", true);
        PrintError(LastErrorText());
        NoteDriveNotOpened(volume);
    } else {
        Print("ok", true);
        switch (mode) {
        case OpImageFromDisk: outcome = CreateImageFromDisk(*device, m_strImageFile); break;
        case OpDiskFromImage: outcome = CreateDiskFromImage(*device, m_strImageFile); break;
        case OpRescueImage: outcome = RescueImageFromDisk(*device, m_strImageFile); break;
        default: PrintError("Help! I don't know what to do!!!"); break;
        }
        Print("Closing floppy device...", false);
        const bool closed = device->Close();
        Print(closed ? "ok" : "failed", true);
        // Closing is where a written disk is flushed; a restore that could not
        // be closed may not be on the disk.
        if (!closed && mode == OpDiskFromImage)
            outcome = JobOutcome::Failed;
    }
    delete this;
    return outcome;
}

JobOutcome CCopyThread::TransferOutcome() const
{
    return m_image.m_skippedSectors.empty() ? JobOutcome::Completed : JobOutcome::CompletedWithSkips;
}
