#pragma once

#include <cstdint>

#include "console/console_log.h"

// Live progress for as long as a transfer runs, gone on every way out.
class ProgressScope {
public:
    // `counted` names the sectors the count of Show counts.
    ProgressScope(const CConsoleLog& log, std::uint64_t totalSectors, const char* counted = "skipped") : m_log(log)
    {
        m_figures.total = totalSectors;
        m_figures.skippedName = counted;
        m_log.BeginProgress();
    }
    ~ProgressScope() { m_log.EndProgress(); }
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;

    void Show(std::uint64_t done, std::uint64_t cylinder, std::uint64_t head, std::uint64_t skipped)
    {
        m_figures.done = done;
        m_figures.cylinder = static_cast<unsigned>(cylinder);
        m_figures.head = static_cast<unsigned>(head);
        m_figures.skipped = skipped;
        m_log.ShowProgress(m_figures);
    }

private:
    const CConsoleLog& m_log;
    ProgressFigures m_figures;
};
