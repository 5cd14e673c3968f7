#include "app/copy_options.h"

#include "app/command_line_notes.h"
#include "app/switch_parser.h"
#include "app/usage_text.h"

CopyOptions BuildOptions(int argc, const char* const* argv)
{
    CopyOptions options;
    CSwitchParser parser;
    parser.Parse(argc, argv);
    NoteCommandLineMistakes(parser);
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
    options.m_volume = VolumeNamed(parser.GetArgument("-v", 0, "A"));

    if (options.m_mode == OpNone || options.m_volume == VolumeNone || options.m_strImageFile.empty() ||
        logWithoutName) {
        options.m_bShowUsage = true;
        PrintUsage();
    }
    return options;
}
