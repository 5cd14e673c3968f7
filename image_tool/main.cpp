// mendarovel-image: shows, checks, hashes and converts image files without a
// drive, with the image and floppy code of mendarovel.
//
// Exit status: 0 done (check: the image is valid); 1 wrong usage, with the
// help on standard error; 2 bad input (check: the image is invalid), with one
// line on standard error (check: the verdict on standard output), nothing written;
// 3 (files, extract) damage in what the file system uses, or an entry refused.

#include <CLI/CLI.hpp>

#include <iostream>

#include "image_tool/tool_commands.h"
#include "image_tool/tool_usage.h"
#include "image_tool/tool_interrupt.h"
#include "platform/console.h"

namespace {

int RunTool(int argc, char** argv)
{
    CLI::App tool{"Shows, checks, hashes and converts Mendarovel image files without a drive.", kToolName};
    tool.set_version_flag("--version", std::string(kToolName) + " " + MENDAROVEL_VERSION);
    tool.require_subcommand(1);
    // One list of commands, with their arguments, in place of the parser's own.
    tool.footer([&tool] { return CommandList(tool); });
    std::string image;
    std::string raw;
    std::string record;
    std::string folder;
    std::string svg;
    std::string mapFile;
    bool json = false;

    // Every command but import reads the image file first.
    const auto command = [&](const char* name, const char* what) {
        CLI::App* added = tool.add_subcommand(name, what)->group("");
        added->add_option("FILE", image, "the image file")->required();
        return added;
    };
    CLI::App* info = command("info", "What the image holds, with MD5, SHA-1, SHA-256 and SHA-512 of the raw disk");
    info->add_flag("--json", json, "one JSON object (fields: see the manual page)");
    CLI::App* check = command("check", "Full validation and expansion; exit 0 valid, 2 not");
    check->add_option("--record", record, "also compare the hashes with this record of mendarovel -m")->type_name("RECORD");
    CLI::App* exportRaw = command("export", "The raw disk, what dd would read from the drive");
    exportRaw->add_option("RAW", raw, "the raw disk file to write, - for standard output")->required();
    CLI::App* importRaw = tool.add_subcommand("import", "An image from a raw disk of a standard floppy size")->group("");
    importRaw->add_option("RAW", raw, "the raw disk file")->required();
    importRaw->add_option("FILE", image, "the image file to write")->required();
    CLI::App* files = command("files", "The file system: every file, and what the damage hit");
    files->add_flag("--json", json, "one JSON object (fields: see the manual page)");
    CLI::App* extract = command("extract", "Every file and folder into an empty or new folder");
    extract->add_option("FOLDER", folder, "the folder to write into")->required();
    CLI::App* map = command("map", "The disk as a grid of good and unreadable sectors");
    map->add_option("--svg", svg, "also write the picture as an SVG file");
    map->add_option("--ddrescue", mapFile, "also write a GNU ddrescue map file of the raw disk");

    try {
        tool.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        std::cout << tool.help();
        return kExitDone;
    } catch (const CLI::CallForVersion& version) {
        std::cout << version.what() << '\n';
        return kExitDone;
    } catch (const CLI::ParseError& error) {
        return RefuseUsage(tool, error, argc, argv);
    }

    // What these print is their product or its report; with nowhere to print
    // it, they would report success of nothing. Only import, and export to a
    // file, print nothing.
    const bool prints = !importRaw->parsed() && !(exportRaw->parsed() && raw != "-");
    if (prints && platform::StandardOutputWasClosed())
        return RefuseInput("standard output", "closed; what the command prints would be lost");
    if (info->parsed())
        return ShowImageInfo(image, json);
    if (check->parsed())
        return CheckImage(image, record);
    if (files->parsed())
        return ListFiles(image, json);
    // A command that writes files removes what it left unfinished when it is
    // interrupted or asked to end.
    CancelOnInterrupt();
    int status = kExitDone;
    if (exportRaw->parsed())
        status = ExportRawDisk(image, raw);
    else if (importRaw->parsed())
        status = ImportRawDisk(raw, image);
    else if (extract->parsed())
        status = ExtractFiles(image, folder);
    else
        status = MapDisk(image, svg, mapFile);
    EndCommand();
    return status;
}

}  // namespace

int main(int argc, char** argv)
{
    // Before anything is opened: no file may become a standard stream. A
    // reader that goes away makes writes fail, which export reports.
    if (!platform::PrepareStandardStreams())
        return kExitBadInput;
    platform::PrepareStandardOutput();
    try {
        return RunTool(argc, argv);
    } catch (const std::exception& failure) {
        // Memory that cannot be had, above all: a refusal, never a crash.
        return RefuseInput(kToolName, failure.what());
    }
}
