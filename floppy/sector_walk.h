#pragma once
// The one walk over a disk's sectors that the reader, writer, verifier and
// rescuer share, and the lines that report a sector.

#include <cstdint>
#include <functional>
#include <vector>

#include "console/console_log.h"
#include "console/progress_scope.h"
#include "formats/disk_geometry.h"

enum class SectorOutcome {
    Good,
    Bad,   // counted in the progress; the walk goes on
    Stop,  // counted as Bad, and the walk ends here (the whole medium failed)
};

struct WalkEnd {
    enum class Reason { Completed, Stopped, Cancelled } reason = Reason::Completed;
    std::uint64_t visited = 0;  // the last one included
    std::uint64_t bad = 0;      // of them Bad or Stop
};

using SectorVisitor = std::function<SectorOutcome(const SectorPlace& place, std::uint32_t index)>;

// Visits the sectors `listed` (0-based linear indexes, in that order), or all
// of the geometry in linear order when it is null, except those of the sorted
// `passedOver`, which get no visit, poll or progress. The progress (if any)
// shows each position before its visit; the cancel flag of `log` is polled
// before every visit and after the last, so a Ctrl-C during a transfer ends
// the walk once that transfer is done.
WalkEnd WalkSectors(const CConsoleLog& log, const DiskGeometry& geometry, const std::vector<std::uint32_t>* listed,
                    const std::vector<std::uint32_t>* passedOver, ProgressScope* progress, const SectorVisitor& visit);

// "<word> cyl C, sect S, head H.", numbered as the device was asked.
void ReportSector(const CConsoleLog& log, const char* word, const SectorPlace& place);
// The system's reason, then the same line.
void ReportFailedSector(const CConsoleLog& log, const char* word, const SectorPlace& place);
