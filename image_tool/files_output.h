#pragma once
// The lines of the files command, and what it shares with extract.

#include <string>

#include "image_tool/file_system_damage.h"

// "YYYY-MM-DDTHH:MM:SS" as the disk stores it; empty when it holds no valid date.
std::string ModifiedText(const FileSystemEntry& entry);

// The table of files and folders, the damaged system areas and the summary line.
void PrintFilesTable(const FileSystemFacts& facts, const FileSystemDamage& damage, const DiskInMemory& disk);
