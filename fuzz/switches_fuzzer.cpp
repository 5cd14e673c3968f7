// The command line: the input split on NUL bytes gives the arguments after
// the program's name, which the switch parser and the options builder take.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/copy_options.h"
#include "console/console_screen.h"

namespace {

std::vector<std::string> SplitOnNul(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string> arguments{"mendarovel"};
    std::string current;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            arguments.push_back(current);
            current.clear();
        } else {
            current.push_back(static_cast<char>(data[i]));
        }
    }
    if (size != 0)
        arguments.push_back(current);
    return arguments;
}

// Options that run a job name the job, the drive and a file.
void CheckOptions(const CopyOptions& options)
{
    if (options.m_bShowUsage)
        return;
    if (options.m_mode == OpNone || options.m_volume == VolumeNone || options.m_strImageFile.empty())
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The warnings about the command line would fill the fuzzer's log.
    CConsoleScreen::Instance().SendNotesTo([](const char*, std::size_t) {});
    const std::vector<std::string> arguments = SplitOnNul(data, size);
    // argv as the system hands it over: the pointers, then a null one.
    std::vector<const char*> argv;
    argv.reserve(arguments.size() + 1);
    for (const std::string& argument : arguments)
        argv.push_back(argument.c_str());
    argv.push_back(nullptr);
    CheckOptions(BuildOptions(static_cast<int>(arguments.size()), argv.data()));
    return 0;
}
