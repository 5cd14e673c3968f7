#include "app/job_aftermath.h"

#include "app/interrupt.h"
#include "console/shown_name.h"
#include "platform/drive_device.h"
#include "task/disk_record.h"
#include "task/utc_time.h"

namespace {

const char* JobName(OperationMode mode)
{
    switch (mode) {
    case OpRescueImage: return "rescue";
    case OpDiskFromImage: return "restore";
    default: return "image";
    }
}

// complete, partial, failed or cancelled; a checked restore says verified
// for complete and differs when the disk read back otherwise.
const char* ResultName(const CopyOptions& options, const JobReport& report, JobOutcome outcome)
{
    const bool checked = options.m_mode == OpDiskFromImage && options.m_bVerify;
    switch (outcome) {
    case JobOutcome::Completed: return checked ? "verified" : "complete";
    case JobOutcome::CompletedWithSkips: return "partial";
    case JobOutcome::Failed: break;
    }
    if (g_bInterrupted.load())
        return "cancelled";
    return report.verifyFailed ? "differs" : "failed";
}

bool WriteRecord(RunFacts run, const JobReport& report)
{
    run.device = platform::DriveDevicePath(run.drive[0]);
    std::string problem;
    if (WriteDiskRecord(run, report, problem))
        return true;
    PrintRefusal(ShownName(RecordNameOf(run.image)), problem);
    return false;
}

bool WriteLogRow(const JobContext& context, const RunFacts& run, const JobReport& report, JobOutcome outcome)
{
    if (context.log->Append(run, report, ResultName(context.options, report, outcome)))
        return true;
    PrintRefusal(ShownName(context.options.m_strLogFile), "the row of this job could not be written");
    return false;
}

}  // namespace

RunFacts StartRun(const JobContext& context, const std::string& image, const std::string& note)
{
    RunFacts run;
    run.job = JobName(context.options.m_mode);
    run.command = context.command;
    run.drive = DriveName(context.options.m_volume);
    run.image = image;
    run.note = note;
    run.started = UtcTimestamp();
    return run;
}

JobEnd FinishJob(const JobContext& context, RunFacts run, const JobReport& report, JobOutcome outcome)
{
    run.ended = UtcTimestamp();
    JobEnd end;
    end.exitStatus = ExitStatusFor(outcome);
    end.skippedSectors = outcome == JobOutcome::CompletedWithSkips;
    run.exitStatus = end.exitStatus;
    const bool makesRecord = context.options.m_mode != OpDiskFromImage;
    if (context.record && makesRecord && report.imageWritten && !WriteRecord(run, report))
        end.exitStatus = 2;
    // The log row gives the status the job ends with, a failed record included.
    run.exitStatus = end.exitStatus;
    if (context.log != nullptr && !WriteLogRow(context, run, report, outcome))
        end.exitStatus = 2;
    return end;
}
