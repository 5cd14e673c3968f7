#include "app/job_aftermath.h"

#include "app/interrupt.h"
#include "console/shown_name.h"
#include "platform/drive_device.h"
#include "task/disk_record.h"

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
const char* ResultName(const JobAftermath& job, JobOutcome outcome)
{
    const bool checked = job.context.options.m_mode == OpDiskFromImage && job.context.options.m_bVerify;
    switch (outcome) {
    case JobOutcome::Completed: return checked ? "verified" : "complete";
    case JobOutcome::CompletedWithSkips: return "partial";
    case JobOutcome::Failed: break;
    }
    if (g_bInterrupted.load())
        return "cancelled";
    return job.report.verifyFailed ? "differs" : "failed";
}

bool WriteRecord(const JobAftermath& job, int exitStatus)
{
    const CopyOptions& options = job.context.options;
    RunFacts run;
    run.job = JobName(options.m_mode);
    run.command = job.context.command;
    run.drive = DriveName(options.m_volume);
    run.device = platform::DriveDevicePath(run.drive[0]);
    run.started = job.started;
    run.ended = job.ended;
    run.exitStatus = exitStatus;
    std::string problem;
    if (WriteDiskRecord(job.image, job.note, job.report, run, problem))
        return true;
    PrintRefusal(ShownName(RecordNameOf(job.image)), problem);
    return false;
}

bool WriteLogRow(const JobAftermath& job, JobOutcome outcome, int exitStatus)
{
    const CopyOptions& options = job.context.options;
    LogRow row;
    row.started = job.started;
    row.ended = job.ended;
    row.job = JobName(options.m_mode);
    row.drive = DriveName(options.m_volume);
    row.file = job.image;
    row.note = job.note;
    row.result = ResultName(job, outcome);
    row.exitStatus = exitStatus;
    row.unreadable = job.report.failedSectors;
    row.sha256 = job.report.hasRawDisk ? job.report.digests.sha256 : "";
    if (job.context.log->Append(row))
        return true;
    PrintRefusal(ShownName(job.context.options.m_strLogFile), "the row of this job could not be written");
    return false;
}

}  // namespace

JobEnd FinishJob(const JobAftermath& job, JobOutcome outcome)
{
    JobEnd end;
    end.exitStatus = ExitStatusFor(outcome);
    end.imageWritten = job.report.imageWritten;
    end.skippedSectors = outcome == JobOutcome::CompletedWithSkips;
    const bool makesRecord = job.context.options.m_mode != OpDiskFromImage;
    if (job.context.record && makesRecord && job.report.imageWritten && !WriteRecord(job, end.exitStatus))
        end.exitStatus = 2;
    if (job.context.log != nullptr && !WriteLogRow(job, outcome, end.exitStatus))
        end.exitStatus = 2;
    return end;
}
