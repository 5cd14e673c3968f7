#include <nlohmann/json.hpp>

#include <iostream>

#include "image_tool/file_system_damage.h"
#include "image_tool/files_output.h"
#include "task/disk_facts_json.h"
#include "image_tool/tool_commands.h"

namespace {

using Json = nlohmann::ordered_json;

// A value as the whole report's dump shows it at that depth; a name need not
// be UTF-8, which must not cost the report.
std::string Dumped(const Json& value, int depth)
{
    std::string text = value.dump(2, ' ', false, Json::error_handler_t::replace);
    const std::string indent(static_cast<std::size_t>(depth) * 2, ' ');
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1))
        text.insert(at + 1, indent);
    return text;
}

Json EntryJson(const FileSystemDamage& damage, std::size_t index, const DiskInMemory& disk)
{
    const FileSystemEntry& entry = damage.entries[index];
    const std::string modified = ModifiedText(entry);
    Json object;
    object["path"] = EntryPath(damage.entries, index);
    object["size"] = entry.size;
    object["modified"] = TextOrNull(modified);
    object["deleted"] = entry.deleted;
    object["sectors"] = SectorCount(entry);
    object["unreadable_sectors"] = SectorsJson(UnreadableSectorsOf(entry, *disk.unreadable), disk.geometry);
    object["state"] = LostSectors(entry, *disk.unreadable) == 0 ? "intact" : "damaged";
    return object;
}

// Entry by entry, so that a disk of many entries never needs the whole report in memory.
void PrintJson(const FileSystemFacts& facts, const FileSystemDamage& damage, const DiskInMemory& disk)
{
    std::cout << "{\n  \"file\": " << Dumped(disk.name, 1) << ",\n  \"file_system\": " << Dumped(facts.type, 1)
              << ",\n  \"label\": " << Dumped(TextOrNull(facts.label), 1)
              << ",\n  \"serial\": " << Dumped(TextOrNull(facts.serial), 1) << ",\n  \"files\": ";
    if (damage.entries.empty())
        std::cout << "[]";
    for (std::size_t i = 0; i < damage.entries.size(); ++i)
        std::cout << (i == 0 ? "[\n    " : ",\n    ") << Dumped(EntryJson(damage, i, disk), 2)
                  << (i + 1 == damage.entries.size() ? "\n  ]" : "");
    auto areas = Json::array();
    for (const FileSystemArea& area : damage.damagedAreas)
        areas.push_back({{"area", area.name}, {"unreadable_sectors", SectorsJson(area.sectors, disk.geometry)}});
    std::cout << ",\n  \"system_areas\": " << Dumped(areas, 1)
              << ",\n  \"free_unreadable_sectors\": " << Dumped(SectorsJson(damage.freeUnreadable, disk.geometry), 1)
              << "\n}\n";
}

}  // namespace

int ListDiskFiles(const DiskInMemory& disk, bool json)
{
    const auto fs = OpenMendedFileSystem(disk);
    if (fs == nullptr)
        return RefuseInput(disk.name, NoFileSystemText(disk));
    const FileSystemFacts facts = fs->Facts();
    const FileSystemDamage damage = AssessDamage(*fs, disk);
    if (json)
        PrintJson(facts, damage, disk);
    else
        PrintFilesTable(facts, damage, disk);
    return EndStandardOutput(damage.damagedEntries != 0 || !damage.damagedAreas.empty() ? kExitDamaged : kExitDone);
}
