#pragma once
// The one place that pulls in <windows.h>, with the settings every file of
// this folder wants.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <winioctl.h>

// <windows.h> maps ReplaceFile to ReplaceFileA, which would rename our own
// platform::ReplaceFile in every file that sees both.
#undef ReplaceFile
