#include "app/session.h"

#include "app/interrupt.h"
#include "app/session_names.h"
#include "console/console_screen.h"
#include "console/shown_name.h"
#include "platform/console.h"
#include "platform/file_names.h"
#include "platform/interrupt.h"
#include "platform/standard_input.h"
#include "task/disk_record.h"

namespace {

struct Tally {
    unsigned written = 0;
    unsigned skipped = 0;  // of those written, with unreadable or unwritten sectors
    unsigned failed = 0;
    bool cancelled = false;
};

// The first name, from the first counter on, for which neither the image
// nor its record exists: a session never replaces a file, and one started
// again fills the first gap.
std::string NextFreeName(const CSessionNames& names)
{
    for (std::uint64_t number = names.First();; ++number) {
        std::string name = names.NameFor(number);
        if (!platform::PathExists(name) && !platform::PathExists(RecordNameOf(name)))
            return name;
    }
}

std::string Trimmed(const std::string& line)
{
    constexpr const char* kBlanks = " \t\r\n\v\f";
    const std::size_t first = line.find_first_not_of(kBlanks);
    if (first == std::string::npos)
        return "";
    return line.substr(first, line.find_last_not_of(kBlanks) - first + 1);
}

// The prompt, and the answer: false when the session ends there.
bool AskForDisk(const std::string& prompt, Tally& tally, std::string& note)
{
    CConsoleScreen::Instance().Write(prompt);
    std::string line;
    const platform::InputLine got = platform::ReadStandardInputLine(line, g_bInterrupted);
    if (got == platform::InputLine::Interrupted)
        tally.cancelled = true;
    if (got != platform::InputLine::Read)
        return false;
    note = Trimmed(line);
    return note != "q" && note != "Q";
}

std::string Prompt(const JobContext& context, const std::string& image, const Tally& tally)
{
    const CopyOptions& options = context.options;
    if (options.m_mode == OpDiskFromImage)
        return "\nInsert the disk for copy " + std::to_string(tally.written + tally.failed + 1) + " of " +
               ShownName(image) + " into drive " + DriveName(options.m_volume) + " and press Enter (q to end): ";
    return "\nInsert the disk for " + ShownName(image) + " into drive " + DriveName(options.m_volume) +
           ", type its note and press Enter (q to end): ";
}

void Count(const JobEnd& end, Tally& tally)
{
    if (end.exitStatus == 2) {
        ++tally.failed;
        return;
    }
    ++tally.written;
    if (end.skippedSectors)
        ++tally.skipped;
}

std::string Summary(const JobContext& context, const Tally& tally)
{
    if (context.options.m_mode == OpDiskFromImage)
        return "\nCopies written: " + std::to_string(tally.written) + ", with sectors not written: " +
               std::to_string(tally.skipped) + ", copies failed: " + std::to_string(tally.failed) + ".";
    return "\nImages written: " + std::to_string(tally.written) + ", listing unreadable sectors: " +
           std::to_string(tally.skipped) + ", disks failed: " + std::to_string(tally.failed) + ".";
}

}  // namespace

int RunSession(const JobContext& context)
{
    InstallHandlerOnce();
    const CSessionNames names(context.options.m_strImageFile);
    const bool imaging = context.options.m_mode != OpDiskFromImage;
    Tally tally;
    for (;;) {
        const std::string image = imaging ? NextFreeName(names) : context.options.m_strImageFile;
        std::string note;
        if (!AskForDisk(Prompt(context, image, tally), tally, note))
            break;
        const JobEnd end = RunJob(context, image, note);
        if (end.started)
            Count(end, tally);
        // Ctrl-C during a disk ends the session once that disk is logged.
        if (g_bInterrupted.load()) {
            tally.cancelled = true;
            break;
        }
        platform::EndIfAskedToEnd();
    }
    platform::EndIfAskedToEnd();
    // The handler's own last line comes before the summary.
    while (g_nAnswering.load() > 0)
        platform::SleepMs(20);
    CConsoleScreen::Instance().Write(Summary(context, tally));
    // A Ctrl-C that came as the input ended still cancelled the session.
    if (tally.failed > 0 || tally.cancelled || g_bInterrupted.load())
        return 2;
    return tally.skipped > 0 ? 3 : 0;
}
