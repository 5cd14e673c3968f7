#pragma once

#include <string>

#include "floppy/drive_volume.h"
#include "task/operation_mode.h"

struct CopyOptions {
    bool m_bShowUsage = false;
    OperationMode m_mode = OpNone;
    DriveVolume m_volume = VolumeNone;
    std::string m_strImageFile;
    bool m_bVerify = false;  // -c: -d reads the written disk back and compares
};

void PrintBanner();
void PrintUsage();
// Builds the options of a command line, printing the usage text where it
// names no runnable job (and once more for -h).
CopyOptions BuildOptions(int argc, const char* const* argv);

// Exit status of the program: 0 done, 1 no job, 2 failed, 3 sectors skipped.
int ExitStatusFor(JobOutcome outcome);
constexpr int kExitNoJob = 1;
