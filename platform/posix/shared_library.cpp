#include "platform/posix/shared_library.h"

#include <dlfcn.h>

namespace platform {

LibraryHandle LoadSharedLibrary(const std::string& soname, std::string& problem)
{
    // Lazy binding: only the functions we call are resolved. Local: its
    // symbols never stand in for anyone else's.
    void* library = dlopen(soname.c_str(), RTLD_LAZY | RTLD_LOCAL);
    if (library == nullptr)
        problem = dlerror();
    return library;
}

void* FindLibraryFunction(LibraryHandle library, const char* name, std::string& problem)
{
    dlerror();  // a null symbol is only an error when dlerror says so
    void* function = dlsym(library, name);
    if (const char* error = dlerror(); error != nullptr) {
        problem = error;
        return nullptr;
    }
    if (function == nullptr)
        problem = std::string(name) + " is null in the library";
    return function;
}

}  // namespace platform
