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
#include "platform/console.h"

namespace {

constexpr const char* kName = "mendarovel-image";

// The whole tool's help, whichever command the mistake was made in.
std::string ToolHelp(const CLI::App& tool)
{
    return tool.get_formatter()->make_help(&tool, kName, CLI::AppFormatMode::Normal);
}

int RunTool(int argc, char** argv)
{
    CLI::App tool{"Shows, checks, hashes and converts Mendarovel image files without a drive.", kName};
    tool.set_version_flag("--version", std::string(kName) + " " + MENDAROVEL_VERSION);
    tool.require_subcommand(1);
    tool.footer("Commands:\n"
                "  mendarovel-image info FILE [--json]\n"
                "  mendarovel-image check FILE\n"
                "  mendarovel-image export FILE RAW     (RAW - : standard output)\n"
                "  mendarovel-image import RAW FILE\n"
                "  mendarovel-image files FILE [--json]\n"
                "  mendarovel-image extract FILE FOLDER\n"
                "  mendarovel-image map FILE [--svg SVG] [--ddrescue MAPFILE]\n"
                "\nSee mendarovel-image(1).");
    std::string image;
    std::string raw;
    std::string folder;
    std::string svg;
    std::string mapFile;
    bool json = false;

    CLI::App* info = tool.add_subcommand("info", "What the image holds, with MD5 and SHA-256 of the raw disk");
    info->add_option("FILE", image, "the image file")->required();
    info->add_flag("--json", json, "one JSON object (fields: see the manual page)");
    CLI::App* check = tool.add_subcommand("check", "Full validation and expansion; exit 0 valid, 2 not");
    check->add_option("FILE", image, "the image file")->required();
    CLI::App* exportRaw = tool.add_subcommand("export", "The raw disk, what dd would read from the drive");
    exportRaw->add_option("FILE", image, "the image file")->required();
    exportRaw->add_option("RAW", raw, "the raw disk file to write, - for standard output")->required();
    CLI::App* importRaw = tool.add_subcommand("import", "An image from a raw disk of a standard floppy size");
    importRaw->add_option("RAW", raw, "the raw disk file")->required();
    importRaw->add_option("FILE", image, "the image file to write")->required();
    CLI::App* files = tool.add_subcommand("files", "The file system: every file, and what the damage hit");
    files->add_option("FILE", image, "the image file")->required();
    files->add_flag("--json", json, "one JSON object (fields: see the manual page)");
    CLI::App* extract = tool.add_subcommand("extract", "Every file and folder into an empty or new folder");
    extract->add_option("FILE", image, "the image file")->required();
    extract->add_option("FOLDER", folder, "the folder to write into")->required();
    CLI::App* map = tool.add_subcommand("map", "The disk as a grid of good and unreadable sectors");
    map->add_option("FILE", image, "the image file")->required();
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
        std::cerr << kName << ": " << error.what() << "\n\n" << ToolHelp(tool);
        return kExitUsage;
    }

    if (info->parsed())
        return ShowImageInfo(image, json);
    if (check->parsed())
        return CheckImage(image);
    if (exportRaw->parsed())
        return ExportRawDisk(image, raw);
    if (importRaw->parsed())
        return ImportRawDisk(raw, image);
    if (files->parsed())
        return ListFiles(image, json);
    if (extract->parsed())
        return ExtractFiles(image, folder);
    return MapDisk(image, svg, mapFile);
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
        return RefuseInput(kName, failure.what());
    }
}
