#pragma once
// The log of a run's jobs (-l FILE): one CSV row per job appended to a file
// that several runs may share, each row whole and on the medium before the
// run goes on.

#include <string>

#include "platform/file.h"

struct LogRow {
    std::string started, ended;  // UtcTimestamp()
    std::string job;             // image, rescue, restore
    std::string drive;           // A: or B:
    std::string file;            // the image file's name as written
    std::string note;
    std::string result;  // complete, partial, failed, cancelled; verified, differs
    int exitStatus = 0;
    std::size_t unreadable = 0;  // sectors that could not be read or written
    std::string sha256;          // of the raw disk; empty when there is none
};

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

    // Appends the row under the file's lock, after the header when the file
    // is empty, and flushes it to the medium. False when that failed.
    bool Append(const LogRow& row);

private:
    platform::FileHandle m_file = nullptr;
};
