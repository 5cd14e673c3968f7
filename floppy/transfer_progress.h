#pragma once

#include <cstdint>

#include "task/console_screen.h"

// Live progress for as long as a transfer runs, gone on every way out.
class ProgressScope {
public:
    // `counted` names the sectors the count of Show counts.
    explicit ProgressScope(std::uint64_t totalSectors, const char* counted = "skipped")
    {
        m_figures.total = totalSectors;
        m_figures.skippedName = counted;
        CConsoleScreen::Instance().BeginProgress();
    }
    ~ProgressScope() { CConsoleScreen::Instance().EndProgress(); }
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;

    void Show(std::uint64_t done, std::uint64_t cylinder, std::uint64_t head, std::uint64_t skipped)
    {
        m_figures.done = done;
        m_figures.cylinder = static_cast<unsigned>(cylinder);
        m_figures.head = static_cast<unsigned>(head);
        m_figures.skipped = skipped;
        CConsoleScreen::Instance().ShowProgress(m_figures);
    }

private:
    ProgressFigures m_figures;
};
