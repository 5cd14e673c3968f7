#include <filesystem>
#include <iostream>

#include "console/shown_name.h"
#include "image_tool/extracted_file.h"
#include "image_tool/file_system_damage.h"
#include "image_tool/files_output.h"
#include "image_tool/safe_entry_name.h"
#include "image_tool/tool_commands.h"

namespace host = std::filesystem;

namespace {

// An empty folder to extract into, made when it does not exist; empty when
// ready, else why not.
std::string PrepareFolder(const host::path& folder)
{
    std::error_code error;
    if (host::create_directory(folder, error))
        return "";
    if (error)
        return "cannot create: " + error.message();
    if (!host::is_directory(folder, error))
        return "is not a folder";
    if (!host::is_empty(folder, error))
        return error ? "cannot read: " + error.message()
                     : "is not empty (extract writes only into an empty or new folder)";
    return "";
}

struct Extraction {
    const DiskInMemory& disk;
    const CDiskFileSystem& fs;
    const std::vector<FileSystemEntry>& entries;
    std::vector<host::path> places;  // where each entry went; empty when nowhere
    std::size_t files = 0, folders = 0, damaged = 0, refused = 0;
};

void Refuse(Extraction& job, std::size_t index, const std::string& why)
{
    std::cout << "Refused: " << ShownName(EntryPath(job.entries, index)) << " (" << why
              << (job.entries[index].folder ? "; nothing in it was extracted)" : ")") << '\n';
    ++job.refused;
}

void ExtractFolder(Extraction& job, std::size_t index, const host::path& target)
{
    std::error_code error;
    if (host::create_directory(target, error)) {
        job.places[index] = target;
        ++job.folders;
    } else {
        Refuse(job, index,
               error ? "cannot create: " + error.message() : "a file or folder of that name was already extracted");
    }
}

// False when the host could not take the file (a full disk): the job stops.
bool ExtractFile(Extraction& job, std::size_t index, const host::path& target)
{
    const FileSystemEntry& entry = job.entries[index];
    const ExtractedFile file = WriteExtractedFile(target, entry, job.fs);
    switch (file.outcome) {
    case ExtractedFile::Outcome::Exists:
        Refuse(job, index, "a file or folder of that name was already extracted");
        return true;
    case ExtractedFile::Outcome::NotCreated: Refuse(job, index, "cannot create: " + file.error); return true;
    case ExtractedFile::Outcome::NotWritten: RefuseInput(target.string(), "cannot write: " + file.error); return false;
    case ExtractedFile::Outcome::Written: break;
    }
    SetModified(target, entry);
    ++job.files;
    const std::uint32_t bytesPerSector = job.disk.geometry.BytesPerSector;
    const std::uint64_t unread = (entry.size - file.delivered + bytesPerSector - 1) / bytesPerSector;
    const std::uint64_t lost = std::max(LostSectors(entry, *job.disk.unreadable), unread);
    if (lost != 0) {
        std::cout << "Damaged: " << ShownName(EntryPath(job.entries, index)) << " (" << lost
                  << (lost == 1 ? " sector" : " sectors") << " lost, written as zeros)\n";
        ++job.damaged;
    }
    return true;
}

}  // namespace

int ExtractDiskFiles(const DiskInMemory& disk, const std::string& folder)
{
    const auto fs = OpenMendedFileSystem(disk);
    if (fs == nullptr)
        return RefuseInput(disk.name, NoFileSystemText(disk));
    const std::vector<FileSystemEntry> entries = fs->Entries();
    if (const std::string problem = PrepareFolder(folder); !problem.empty())
        return RefuseInput(folder, problem);

    Extraction job{disk, *fs, entries, std::vector<host::path>(entries.size()), 0, 0, 0, 0};
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const FileSystemEntry& entry = entries[i];
        const host::path& parent =
            entry.parent == FileSystemEntry::kInRoot ? host::path(folder) : job.places[entry.parent];
        if (entry.deleted || parent.empty())
            continue;  // deleted, or in a folder that was refused
        if (!IsSafeEntryName(entry.name))
            Refuse(job, i, "its name cannot be written safely here");
        else if (entry.folder)
            ExtractFolder(job, i, parent / entry.name);
        else if (!ExtractFile(job, i, parent / entry.name))
            return kExitBadInput;
    }
    // Last, as writing into a folder changes its time.
    for (std::size_t i = entries.size(); i-- > 0;)
        if (!job.places[i].empty())
            SetModified(job.places[i], entries[i]);

    std::cout << "Extracted " << job.files << (job.files == 1 ? " file and " : " files and ") << job.folders
              << (job.folders == 1 ? " folder" : " folders") << ": " << job.damaged << " damaged, " << job.refused
              << " refused.\n";
    return EndStandardOutput(job.damaged != 0 || job.refused != 0 ? kExitDamaged : kExitDone);
}
