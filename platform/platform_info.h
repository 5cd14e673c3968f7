#pragma once

namespace platform {

// True on Windows 95/98/ME (any platform id other than the NT family's);
// false on the NT family and on Linux.
bool IsWindows9x();

}  // namespace platform
