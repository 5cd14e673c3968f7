#pragma once
// What the tool says about its own command line: a usage line per command,
// the help's list of commands, and the short answer to a mistake.

#include <CLI/CLI.hpp>

#include <string>

// "mendarovel-image info FILE [--json]", from the command's own options.
std::string CommandUsage(const CLI::App& command);

// The help's one list of commands: each usage line and what the command does.
std::string CommandList(const CLI::App& tool);

// A mistake on the command line: one line naming it, the usage line of the
// command meant and where the help is (an unknown or missing command: one
// line with the known ones), on standard error. Returns exit status 1.
int RefuseUsage(const CLI::App& tool, const CLI::ParseError& error, int argc, char** argv);
