#pragma once
// The FAT file system on a raw disk held in memory, as The Sleuth Kit reads
// it: its name, label and serial number, its system areas, every file and
// folder with the sectors it occupies, and their contents. The library reads
// the disk through a callback from memory, never from a copy on disk.
//
// Two implementations, chosen by CMake: disk_file_system.cpp over the
// library, and file_system_absent.cpp for a build without it (Windows), in
// which Available() is false and Open() finds nothing.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct FileSystemFacts {
    std::string type;    // "FAT12", "FAT16" or "FAT32"
    std::string label;   // trimmed; empty when the disk has none
    std::string serial;  // "XXXX-XXXX"; empty when the disk has none
};

// A system area (boot sector, a copy of the FAT, the root folder) and the
// 0-based sectors it covers.
struct FileSystemArea {
    std::string name;
    std::vector<std::uint32_t> sectors;
};

// Consecutive 0-based sectors of the disk.
struct SectorRun {
    std::uint32_t first = 0;
    std::uint32_t count = 0;
};

struct FileSystemEntry {
    static constexpr std::size_t kInRoot = static_cast<std::size_t>(-1);
    std::string name;              // as the disk holds it, in UTF-8
    std::size_t parent = kInRoot;  // index of its folder in the list
    std::uint64_t size = 0;
    // As the library gives it: the disk's local time taken as the host's; 0
    // when the disk holds no valid date.
    std::int64_t modified = 0;
    bool folder = false;
    bool deleted = false;
    // The sectors its content occupies; for a deleted entry, those the
    // library would recover it from.
    std::vector<SectorRun> sectors;
    // Sectors its size needs beyond those found: its chain of clusters ends
    // early or cannot be followed.
    std::uint32_t missingSectors = 0;
    std::uint64_t address = 0;  // the library's, to read the entry again
};

// "/FOLDER/NAME" from the root; a folder's path ends in '/'.
std::string EntryPath(const std::vector<FileSystemEntry>& entries, std::size_t index);

class CDiskFileSystem {
public:
    // Whether file systems can be read: false in a build without the library,
    // with why in `problem` ("not available ...").
    static bool Available(std::string& problem);

    // Opens the FAT file system on `disk` (which must outlive the object and
    // is read, not copied); null when the disk holds none that can be read.
    static std::unique_ptr<CDiskFileSystem> Open(const std::uint8_t* disk, std::size_t size,
                                                 std::uint32_t bytesPerSector);
    ~CDiskFileSystem();
    CDiskFileSystem(const CDiskFileSystem&) = delete;
    CDiskFileSystem& operator=(const CDiskFileSystem&) = delete;

    FileSystemFacts Facts() const;
    // Boot sector, FAT 1, FAT 2 ..., root folder, in that order.
    std::vector<FileSystemArea> SystemAreas() const;
    // Every file and folder below the root, deleted ones that can still be
    // seen included; each folder is listed before its contents and entered
    // once, however often the disk links to it. Deleted folders are not entered.
    std::vector<FileSystemEntry> Entries() const;
    // Hands the entry's content to `sink` in order, piece by piece (offset,
    // bytes, count). False when the library cannot read it to its end or the
    // sink returns false.
    bool ReadContent(const FileSystemEntry& entry,
                     const std::function<bool(std::uint64_t, const std::uint8_t*, std::size_t)>& sink) const;

    struct Session;

private:
    explicit CDiskFileSystem(std::unique_ptr<Session> session);
    std::unique_ptr<Session> m_session;
};
