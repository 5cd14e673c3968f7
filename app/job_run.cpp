#include "app/job_run.h"

#include <mutex>
#include <new>
#include <string_view>

#include "app/interrupt.h"
#include "app/job_aftermath.h"
#include "app/job_notes.h"
#include "console/console_log.h"
#include "platform/console.h"
#include "platform/interrupt.h"
#include "platform/last_error.h"

namespace {

void WriteOutput(std::string_view text)
{
    platform::WriteStandardOutput(text.data(), text.size());
}

// Creates and publishes the job for the handler, unless a Ctrl-C came first:
// under the handler's lock, so that a Ctrl-C is never lost between the two.
CCopyThread* PublishNewJob(JobReport* report)
{
    std::lock_guard<std::mutex> lock(CCopyThread::LifetimeLock());
    if (g_bInterrupted.load())
        return nullptr;
    auto* job = new (std::nothrow) CCopyThread;
    if (job == nullptr)
        return nullptr;
    g_bCopyDone = false;
    job->m_pbDone = &g_bCopyDone;
    job->m_pReport = report;
    g_pCopyThread = job;
    return job;
}

}  // namespace

// A single job installs it once its job is published, so that no Ctrl-C
// finds nothing to cancel.
void InstallHandlerOnce()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    if (!platform::InstallInterruptHandler(CtrlCHandler, TerminationHandler))
        WriteOutput("\nERROR: CTRL-C handler could not be installed.");
}

void PrintRefusal(const std::string& subject, const std::string& what)
{
    PrintNote(subject + ": " + what);
}

JobEnd RunJob(const JobContext& context, const std::string& image, const std::string& note)
{
    const CopyOptions& options = context.options;
    JobReport report;
    const bool wanted = context.record || context.log != nullptr;
    CCopyThread* job = PublishNewJob(wanted ? &report : nullptr);
    if (job == nullptr) {
        if (!g_bInterrupted.load())
            WriteOutput("\nERROR: Not enough memory to start the job.");
        JobEnd notStarted;
        notStarted.started = false;
        return notStarted;
    }
    InstallHandlerOnce();
    job->m_strImageFile = image;
    job->m_bVerify = options.m_bVerify;
    std::size_t skippedSectors = 0;
    job->m_pnSkipped = &skippedSectors;
    const RunFacts run = StartRun(context, image, note);
    const JobOutcome outcome = job->Execute(options.m_mode, options.m_volume);
    g_pCopyThread = nullptr;
    const JobEnd end = FinishJob(context, run, report, outcome);
    NoteJobEnd(options.m_mode, image, outcome, skippedSectors);
    return end;
}
