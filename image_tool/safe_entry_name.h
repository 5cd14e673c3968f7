#pragma once

#include <string>

// Whether a name from a disk can be created as one entry inside a folder on
// any host, Windows or POSIX, without reaching outside it or meaning a
// device: not empty, "." or "..", no separator, drive colon or other
// character Windows refuses, no control character, no trailing dot or space
// (Windows drops them), no reserved device name such as CON or LPT1.TXT.
bool IsSafeEntryName(const std::string& name);
