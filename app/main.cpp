// mendarovel: copies whole floppy disks to and from image files.
//
// Exit status: 0 the job ran to its end and every sector was transferred;
// 1 the command line names no job; 2 the job failed or was cancelled;
// 3 the job ran to its end but sectors were skipped.

#include <new>
#include <string_view>

#include "app/copy_options.h"
#include "app/interrupt.h"
#include "app/job_notes.h"
#include "app/usage_text.h"
#include "platform/console.h"
#include "platform/interrupt.h"
#include "task/copy_thread.h"

int main(int argc, char** argv)
{
    // Before anything is opened: no file may become a standard stream.
    if (!platform::PrepareStandardStreams())
        return ExitStatusFor(JobOutcome::Failed);
    g_pCopyThread = nullptr;
    g_bCopyDone = false;
    platform::PrepareStandardOutput();
    PrintBanner();

    const CopyOptions options = BuildOptions(argc, argv);
    if (options.m_bShowUsage)
        return kExitNoJob;

    auto* job = new (std::nothrow) CCopyThread;
    if (job == nullptr) {
        constexpr std::string_view kNoMemory = "\nERROR: Not enough memory to start the job.";
        platform::WriteStandardOutput(kNoMemory.data(), kNoMemory.size());
        return ExitStatusFor(JobOutcome::Failed);
    }
    job->m_pbDone = &g_bCopyDone;
    std::size_t skippedSectors = 0;
    job->m_pnSkipped = &skippedSectors;
    g_pCopyThread = job;
    job->m_strImageFile = options.m_strImageFile;
    job->m_bVerify = options.m_bVerify;

    if (!platform::InstallInterruptHandler(CtrlCHandler, TerminationHandler)) {
        constexpr std::string_view kNoHandler = "\nERROR: CTRL-C handler could not be installed.";
        platform::WriteStandardOutput(kNoHandler.data(), kNoHandler.size());
    }

    const JobOutcome outcome = job->Execute(options.m_mode, options.m_volume);
    g_pCopyThread = nullptr;
    // Asked to end while the job ran: the job was cancelled and has cleaned
    // up; the process now ends with the status the signal implies.
    platform::EndIfAskedToEnd();
    NoteJobEnd(options, outcome, skippedSectors);
    return ExitStatusFor(outcome);
}
