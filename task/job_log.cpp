#include "task/job_log.h"

#include "platform/append_file.h"
#include "task/csv_row.h"

namespace {

const char kHeader[] = "started,ended,job,drive,file,note,result,exit_status,unreadable,sha256\r\n";

}  // namespace

CJobLog::~CJobLog()
{
    if (m_file != nullptr)
        platform::CloseFile(m_file);
}

bool CJobLog::Open(const std::string& path)
{
    m_file = platform::OpenForAppending(path);
    return m_file != nullptr;
}

bool CJobLog::Append(const RunFacts& run, const JobReport& report, const std::string& result)
{
    std::uint64_t length = 0;
    if (m_file == nullptr || !platform::LockForAppending(m_file, length))
        return false;
    // The header belongs to whoever finds the file empty under the lock.
    std::string text = length == 0 ? kHeader : "";
    text += CsvRow({run.started, run.ended, run.job, run.drive, run.image, run.note, result,
                    std::to_string(run.exitStatus), std::to_string(report.failedSectors),
                    report.hasRawDisk ? report.digests.sha256 : ""});
    return platform::AppendAndUnlock(m_file, text.data(), text.size());
}
