#pragma once

#include <string>

#include "task/copy_thread.h"

struct CopyOptions {
    bool m_bShowUsage = false;
    OperationMode m_mode = OpNone;
    DriveVolume m_volume = VolumeNone;
    std::string m_strImageFile;
    bool m_bImageFileNamed = false;  // given with -f, not the default
    bool m_bVerify = false;  // -c: -d reads the written disk back and compares
    bool m_bSession = false;  // -b: disk after disk, from prompts
    bool m_bRecord = false;   // -m: the JSON record beside the image
    std::string m_strLogFile;  // -l FILE: a CSV row per job; empty for none
};

// Builds the options of a command line, printing the usage text where it
// names no runnable job (and once more for -h).
CopyOptions BuildOptions(int argc, const char* const* argv);

