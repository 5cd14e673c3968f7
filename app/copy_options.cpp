#include "app/copy_options.h"

#include "app/command_line_notes.h"
#include "app/switch_parser.h"
#include "app/usage_text.h"

namespace {

bool EqualsIgnoringCase(const std::string& text, char letter)
{
    return text.size() == 1 && (text[0] == letter || text[0] == letter - 'a' + 'A');
}

}  // namespace

CopyOptions BuildOptions(int argc, const char* const* argv)
{
    CopyOptions options;
    CSwitchParser parser;
    const int switches = parser.Parse(argc, argv);
    NoteCommandLineMistakes(parser);
    if (switches < 1) {
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
    options.m_bImageFileNamed = parser.HasSwitch("-f");
    options.m_bVerify = parser.HasSwitch("-c");
    options.m_bSession = parser.HasSwitch("-b");
    options.m_bRecord = parser.HasSwitch("-m");
    options.m_strLogFile = parser.GetArgument("-l", 0, "");
    // A log switch without a file name is as wrong as a drive that is none.
    const bool logWithoutName = parser.HasSwitch("-l") && options.m_strLogFile.empty();

    const std::string drive = parser.GetArgument("-v", 0, "A");
    if (EqualsIgnoringCase(drive, 'a'))
        options.m_volume = VolumeA;
    else if (EqualsIgnoringCase(drive, 'b'))
        options.m_volume = VolumeB;

    if (options.m_mode == OpNone || options.m_volume == VolumeNone || options.m_strImageFile.empty() ||
        logWithoutName) {
        options.m_bShowUsage = true;
        PrintUsage();
    }
    return options;
}
