#include "app/command_line_notes.h"

#include <algorithm>
#include <cctype>
#include <iterator>

#include "console/console_log.h"
#include "console/shown_name.h"
#include "floppy/disk_device.h"

namespace {

struct KnownSwitch {
    const char* name;
    int argumentsUsed;  // -1: the switch's own code judges its arguments
};

constexpr KnownSwitch kKnownSwitches[] = {
    {"-i", 0}, {"-d", 0}, {"-r", 0}, {"-c", 0}, {"-h", 0}, {"-v", 1}, {"-f", 1}, {"-b", -1}, {"-m", -1}, {"-l", -1},
};

const KnownSwitch* FindSwitch(const std::string& name)
{
    const auto found = std::find_if(std::begin(kKnownSwitches), std::end(kKnownSwitches),
                                    [&](const KnownSwitch& known) { return name == known.name; });
    return found != std::end(kKnownSwitches) ? found : nullptr;
}

void NoteUnknownSwitch(const std::string& name)
{
    std::string lower = name;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const bool caseSlip = lower != name && FindSwitch(lower) != nullptr;
    PrintNote("unknown switch " + QuotedName(name) + " is ignored" + (caseSlip ? " (did you mean " + lower + "?)" : ""));
}

void NoteIgnoredArgument(const std::string& argument, const std::string& afterSwitch)
{
    // "-f Family Photos.dsk" is the usual way to lose half a name.
    PrintNote("argument " + QuotedName(argument) + " is ignored" +
              (afterSwitch == "-f" ? " (a file name with spaces needs quotes)" : ""));
}

}  // namespace

void NoteCommandLineMistakes(const CSwitchParser& parser)
{
    for (const std::string& orphan : parser.Orphans())
        NoteIgnoredArgument(orphan, "");
    for (const auto& [name, arguments] : parser.Switches()) {
        const KnownSwitch* known = FindSwitch(name);
        if (known == nullptr)
            NoteUnknownSwitch(name);
        if (known != nullptr && known->argumentsUsed < 0)
            continue;
        const std::size_t used = known != nullptr ? static_cast<std::size_t>(known->argumentsUsed) : 0;
        for (std::size_t i = used; i < arguments.size(); ++i)
            NoteIgnoredArgument(arguments[i], name);
    }
    const std::string drive = parser.GetArgument("-v", 0, "A");
    if (VolumeNamed(drive) == VolumeNone)
        PrintNote("-v " + QuotedName(drive) + " names no drive: it takes A or B");
}
