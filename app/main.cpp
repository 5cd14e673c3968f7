// mendarovel: copies whole floppy disks to and from image files.
//
// Exit status: 0 the job ran to its end and every sector was transferred;
// 1 the command line names no job; 2 the job failed or was cancelled;
// 3 the job ran to its end but sectors were skipped.

#include <string>
#include <vector>

#include "app/copy_options.h"
#include "app/job_notes.h"
#include "app/job_run.h"
#include "app/session.h"
#include "app/usage_text.h"
#include "console/console_log.h"
#include "console/shown_name.h"
#include "platform/console.h"
#include "platform/interrupt.h"
#include "task/job_log.h"

int main(int argc, char** argv)
{
    // Before anything is opened: no file may become a standard stream.
    if (!platform::PrepareStandardStreams())
        return ExitStatusFor(JobOutcome::Failed);
    platform::PrepareStandardOutput();
    PrintBanner();

    const CopyOptions options = BuildOptions(argc, argv);
    if (options.m_bShowUsage)
        return kExitNoJob;

    // A log that cannot take the rows is refused before any disk is read.
    CJobLog log;
    if (!options.m_strLogFile.empty() && !log.Open(options.m_strLogFile)) {
        PrintRefusal(ShownName(options.m_strLogFile), "cannot be opened for appending: " + LastErrorText());
        return ExitStatusFor(JobOutcome::Failed);
    }
    const std::vector<std::string> command(argv + 1, argv + argc);
    // A session images or writes disk after disk; a rescue is of one image.
    const bool session = options.m_bSession && options.m_mode != OpRescueImage;
    const JobContext context{options, command, log.IsOpen() ? &log : nullptr, options.m_bRecord || session};
    const int status = session ? RunSession(context) : RunJob(context, options.m_strImageFile, "").exitStatus;
    // Asked to end while the job ran: the job was cancelled and has cleaned
    // up; the process now ends with the status the signal implies.
    platform::EndIfAskedToEnd();
    if (!session)
        NoteDefaultImageName(options);
    return status;
}
