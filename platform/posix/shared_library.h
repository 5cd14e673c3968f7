#pragma once
// A shared library loaded when a command first needs it, so that commands
// that do not never pay for loading it and everything it links.

#include <string>

namespace platform {

using LibraryHandle = void*;

// Loads the library of `soname` for good (never unloaded), its functions
// bound when first called. Null when it cannot be loaded, with the loader's
// reason in `problem`.
LibraryHandle LoadSharedLibrary(const std::string& soname, std::string& problem);

// The address of the function `name` in `library`; null when it has none,
// with the loader's reason in `problem`.
void* FindLibraryFunction(LibraryHandle library, const char* name, std::string& problem);

}  // namespace platform
