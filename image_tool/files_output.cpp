#include "image_tool/files_output.h"

#include <ctime>
#include <iomanip>
#include <iostream>

#include "console/shown_name.h"

std::string ModifiedText(const FileSystemEntry& entry)
{
    // The library read the disk's time as the host's local time; read back
    // the same way, it gives the fields the disk stores.
    const auto seconds = static_cast<std::time_t>(entry.modified);
    const std::tm* fields = entry.modified == 0 ? nullptr : std::localtime(&seconds);
    if (fields == nullptr)
        return "";
    char text[32];
    return std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", fields) == 0 ? "" : text;
}

namespace {

std::string FactsLine(const FileSystemFacts& facts)
{
    std::string line =
        "File system: " + facts.type + ", " + (facts.label.empty() ? "no label" : "label " + facts.label);
    if (!facts.serial.empty())
        line += ", serial " + facts.serial;
    return line;
}

const char* StateOf(const FileSystemEntry& entry, std::uint64_t lost)
{
    if (entry.deleted)
        return "deleted";
    return lost == 0 ? "intact" : "damaged";
}

std::string Plural(std::size_t count, const char* one, const char* many)
{
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

void PrintFilesTable(const FileSystemFacts& facts, const FileSystemDamage& damage, const DiskInMemory& disk)
{
    std::cout << ShownName(FactsLine(facts)) << '\n'
              << "state    sectors  lost       size  modified             path\n";
    for (std::size_t i = 0; i < damage.entries.size(); ++i) {
        const FileSystemEntry& entry = damage.entries[i];
        const std::uint64_t lost = LostSectors(entry, *disk.unreadable);
        const std::string modified = ModifiedText(entry);
        std::cout << std::left << std::setw(7) << StateOf(entry, lost) << std::right << std::setw(9)
                  << SectorCount(entry) << std::setw(6) << lost << std::setw(11) << entry.size << "  " << std::left
                  << std::setw(19) << (modified.empty() ? "-" : modified) << std::right << "  "
                  << ShownName(EntryPath(damage.entries, i)) << '\n';
    }
    for (const FileSystemArea& area : damage.damagedAreas)
        std::cout << "System area " << area.name << ": "
                  << Plural(area.sectors.size(), "unreadable sector", "unreadable sectors") << '\n';
    std::cout << damage.damagedEntries << " of " << Plural(damage.liveEntries, "file or folder", "files and folders")
              << " damaged, " << Plural(damage.freeUnreadable.size(), "unreadable sector", "unreadable sectors")
              << " in free space\n";
}
