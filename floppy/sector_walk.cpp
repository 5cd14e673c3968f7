#include "floppy/sector_walk.h"

#include <algorithm>

WalkEnd WalkSectors(const CConsoleLog& log, const DiskGeometry& geometry, const std::vector<std::uint32_t>* listed,
                    const std::vector<std::uint32_t>* passedOver, ProgressScope* progress, const SectorVisitor& visit)
{
    WalkEnd end;
    const std::uint64_t count = listed != nullptr ? listed->size() : SectorCount(geometry);
    for (std::uint64_t position = 0; position < count; ++position) {
        const auto index = static_cast<std::uint32_t>(listed != nullptr ? (*listed)[position] : position);
        if (passedOver != nullptr && std::binary_search(passedOver->begin(), passedOver->end(), index))
            continue;
        if (log.CheckCancel())
            return {WalkEnd::Reason::Cancelled, end.visited, end.bad};
        const SectorPlace place = PlaceOf(geometry, index);
        if (progress != nullptr)
            progress->Show(position, place.cylinder, place.head, end.bad);
        const SectorOutcome outcome = visit(place, index);
        ++end.visited;
        end.bad += outcome != SectorOutcome::Good;
        if (outcome == SectorOutcome::Stop)
            return {WalkEnd::Reason::Stopped, end.visited, end.bad};
    }
    if (end.visited > 0 && log.CheckCancel())
        end.reason = WalkEnd::Reason::Cancelled;
    return end;
}

void ReportSector(const CConsoleLog& log, const char* word, const SectorPlace& place)
{
    // The device takes 16-bit numbers.
    log.Print(FormatText("%s cyl %i, sect %i, head %i.", word, static_cast<std::uint16_t>(place.cylinder),
                         static_cast<std::uint16_t>(place.sector), static_cast<std::uint16_t>(place.head)),
              false);
}

void ReportFailedSector(const CConsoleLog& log, const char* word, const SectorPlace& place)
{
    log.PrintError(LastErrorText());
    ReportSector(log, word, place);
}
