#include "app/copy_options.h"

#include <string_view>

#include "app/switch_parser.h"
#include "platform/console.h"

namespace {

void Write(std::string_view text)
{
    platform::WriteStandardOutput(text.data(), text.size());
}

bool EqualsIgnoringCase(const std::string& text, char letter)
{
    return text.size() == 1 && (text[0] == letter || text[0] == letter - 'a' + 'A');
}

}  // namespace

void PrintBanner()
{
    Write("Mendarovel 2.1 for Console");
    Write("\n");
    Write("\n");
}

void PrintUsage()
{
    static constexpr std::string_view kLines[] = {
        "\n",
        "Usage example 1: Mendarovel -i\n",
        "                 Creates a disk image file \"Image.dsk\" from the\n",
        "                 disk in drive a:.\n",
        "\n",
        "Usage example 2: Mendarovel -i -v B -f newimage.dsk\n",
        "                 Create a disk image file \"newimage.dsk\" from\n",
        "                 the disk in drive b:.\n",
        "\n",
        "Usage example 3: Mendarovel -d -f oldimage.dsk\n",
        "                 Writes the disk image file \"oldimage.dsk\" to the\n",
        "                 disk in drive a:.\n",
        "\n",
        "Switches:  -h Show this help message (optional)\n",
        "           -i Create a disk image file from a floppy disk (no use with -d)\n",
        "           -d Create a floppy disk from a disk image file (no use with -i)\n",
        "\n",
        "Arguments: -v volume        Volume can be A or B (default A)\n",
        "           -f filename      Name of the disk image file (default Image.dsk)\n",
        "\n",
    };
    for (std::string_view line : kLines)
        Write(line);
}

CopyOptions BuildOptions(int argc, const char* const* argv)
{
    CopyOptions options;
    CSwitchParser parser;
    if (parser.Parse(argc, argv) < 1) {
        options.m_bShowUsage = true;
        PrintUsage();
        return options;
    }
    if (parser.HasSwitch("-h"))
        PrintUsage();

    if (parser.HasSwitch("-i"))
        options.m_mode = parser.HasSwitch("-r") ? OpRescueImage : OpImageFromDisk;
    else if (parser.HasSwitch("-d"))
        options.m_mode = OpDiskFromImage;

    options.m_strImageFile = parser.GetArgument("-f", 0, "Image.dsk");
    options.m_bVerify = parser.HasSwitch("-c");

    const std::string drive = parser.GetArgument("-v", 0, "A");
    if (EqualsIgnoringCase(drive, 'a'))
        options.m_volume = VolumeA;
    else if (EqualsIgnoringCase(drive, 'b'))
        options.m_volume = VolumeB;

    if (options.m_mode == OpNone || options.m_volume == VolumeNone || options.m_strImageFile.empty()) {
        options.m_bShowUsage = true;
        PrintUsage();
    }
    return options;
}

int ExitStatusFor(JobOutcome outcome)
{
    switch (outcome) {
    case JobOutcome::Completed: return 0;
    case JobOutcome::CompletedWithSkips: return 3;
    case JobOutcome::Failed: break;
    }
    return 2;
}
