#pragma once

#include "app/switch_parser.h"

// Warns on standard error of what the command line holds that the program
// ignores: unknown switches, arguments no switch uses, a drive other than A or B.
void NoteCommandLineMistakes(const CSwitchParser& parser);
