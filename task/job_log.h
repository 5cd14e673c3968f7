#pragma once
// The log of a run's jobs (-l FILE): one CSV row per job appended to a file
// that several runs may share, each row whole and on the medium before the
// run goes on.

#include <string>

#include "platform/file.h"
#include "task/job_report.h"

class CJobLog {
public:
    CJobLog() = default;
    ~CJobLog();
    CJobLog(const CJobLog&) = delete;
    CJobLog& operator=(const CJobLog&) = delete;

    // Opens the log for appending, creating it when missing; false (and the
    // system's reason as the last error) when it cannot be.
    bool Open(const std::string& path);
    bool IsOpen() const { return m_file != nullptr; }

    // Appends the row of `run` under the file's lock, after the header when
    // the file is empty, and flushes it to the medium. False when that failed.
    // `result`: complete, partial, failed, cancelled; verified, differs. The
    // row counts the sectors not read or not written, and gives the raw
    // disk's SHA-256 (empty when there is none).
    bool Append(const RunFacts& run, const JobReport& report, const std::string& result);

private:
    platform::FileHandle m_file = nullptr;
};
