#pragma once

#include <string>
#include <vector>

namespace platform {

// The floppy drives in letter order (A: first): the floppy controller's
// drives (fd0, fd1, where their nodes exist), then USB floppy drives (block
// devices behind a mass-storage interface of the UFI subclass) by name.
// The roots are parameters so that tests can hand in a tree of their own.
std::vector<std::string> DiscoverFloppyDrives(const std::string& sysRoot, const std::string& devRoot);

}  // namespace platform
