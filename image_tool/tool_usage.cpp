#include "image_tool/tool_usage.h"

#include <iostream>

#include "console/shown_name.h"
#include "image_tool/tool_commands.h"

namespace {

std::vector<const CLI::App*> Commands(const CLI::App& tool)
{
    return tool.get_subcommands([](const CLI::App*) { return true; });
}

std::string CommandNames(const CLI::App& tool)
{
    std::string names;
    for (const CLI::App* command : Commands(tool))
        names += (names.empty() ? "" : ", ") + command->get_name();
    return names;
}

// The first word that is no option: the command the user meant, if any.
const char* CommandWord(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (argv[i][0] != '-')
            return argv[i];
    return nullptr;
}

}  // namespace

std::string CommandUsage(const CLI::App& command)
{
    std::string usage = std::string(kToolName) + " " + command.get_name();
    for (const CLI::Option* option : command.get_options()) {
        if (option == command.get_help_ptr())
            continue;
        const bool optional = !option->get_required();
        usage.append(optional ? " [" : " ").append(option->get_name());
        if (!option->get_positional() && !option->get_type_name().empty())
            usage.append(" ").append(option->get_type_name());
        usage.append(optional ? "]" : "");
    }
    return usage;
}

std::string CommandList(const CLI::App& tool)
{
    std::string list = "Commands:\n";
    for (const CLI::App* command : Commands(tool))
        list += "  " + CommandUsage(*command) + "\n      " + command->get_description() + "\n";
    return list + "\nSee mendarovel-image(1).";
}

int RefuseUsage(const CLI::App& tool, const CLI::ParseError& error, int argc, char** argv)
{
    const char* word = CommandWord(argc, argv);
    const CLI::App* meant = nullptr;
    for (const CLI::App* command : Commands(tool))
        if (word != nullptr && command->get_name() == word)
            meant = command;
    const std::string help = std::string(kToolName) + " --help";
    if (word == nullptr)
        std::cerr << kToolName << ": a command is needed (" << CommandNames(tool) << "; see " << help << ")\n";
    else if (meant == nullptr)
        std::cerr << kToolName << ": unknown command '" << ShownName(word) << "' (the commands are "
                  << CommandNames(tool) << "; see " << help << ")\n";
    else
        std::cerr << kToolName << ": " << ShownName(error.what()) << "\nusage: " << CommandUsage(*meant) << "   ("
                  << help << " tells more)\n";
    return kExitUsage;
}
