#pragma once
// The four commands of mendarovel-image. Each prints its own result and
// returns the exit status.

#include <string>

// Exit status: 0 done (check: the image is valid); 1 wrong usage, with the
// tool's help; 2 bad input (check: an invalid image), nothing written.
constexpr int kExitDone = 0;
constexpr int kExitUsage = 1;
constexpr int kExitBadInput = 2;

int ShowImageInfo(const std::string& image, bool json);
// With a record (FILE.json of mendarovel -m), the image's and its disk's
// hashes must also equal the record's.
int CheckImage(const std::string& image, const std::string& record);
int ExportRawDisk(const std::string& image, const std::string& raw);
int ImportRawDisk(const std::string& raw, const std::string& image);

// Prints "mendarovel-image: SUBJECT: WHAT" on standard error and returns 2.
int RefuseInput(const std::string& subject, const std::string& what);

