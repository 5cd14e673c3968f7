#pragma once
// The commands of mendarovel-image. Each prints its own result and
// returns the exit status.

#include <functional>
#include <string>
#include <string_view>

// The exit statuses, as main.cpp describes them.
constexpr int kExitDone = 0;
constexpr int kExitUsage = 1;
constexpr int kExitBadInput = 2;
constexpr int kExitDamaged = 3;

constexpr const char* kToolName = "mendarovel-image";

int ShowImageInfo(const std::string& image, bool json);
// With a record (FILE.json of mendarovel -m), the image's and its disk's
// hashes must also equal the record's.
int CheckImage(const std::string& image, const std::string& record);
int ExportRawDisk(const std::string& image, const std::string& raw);
int ImportRawDisk(const std::string& raw, const std::string& image);
int ListFiles(const std::string& image, bool json);
int ExtractFiles(const std::string& image, const std::string& folder);
int MapDisk(const std::string& image, const std::string& svg, const std::string& ddrescue);

// files and extract over a disk already in memory (see file_system_damage.h),
// once CDiskFileSystem::Available has said yes.
struct DiskInMemory;
int ListDiskFiles(const DiskInMemory& disk, bool json);
int ExtractDiskFiles(const DiskInMemory& disk, const std::string& folder);

// Prints "mendarovel-image: SUBJECT: WHAT" on standard error and returns 2.
int RefuseInput(const std::string& subject, const std::string& what);

// A failed write to standard output: "standard output: WHAT: the system's
// reason" on standard error, or nothing when its reader has gone away (as a
// pipeline's other programs end). Returns 2.
int RefuseStandardOutput(const std::string& what);

// Flushes standard output: `status` when all of it was written, else the
// refusal of RefuseStandardOutput.
int EndStandardOutput(int status);

// Export, import and map: `write` fills a new file beside `target` (false or
// ImageFileError when it cannot), which then takes the target's place unless
// a Ctrl-C or a signal cancelled the command meanwhile; the exit status, with
// the one line of a failure.
class CImageFile;
int WriteNewFile(const std::string& target, const std::function<bool(CImageFile&)>& write);
// The same for a file that is `bytes`.
int WriteNewFile(const std::string& target, std::string_view bytes);

// A target that is the source itself would destroy it: refused, exit 2.
int RefuseSameFile(const std::string& target);
