#pragma once
// An image file read exactly as the restore reads it, with what the restore
// does not keep (where the image starts, how its data is stored) and, when
// the restore would refuse it, what is wrong, in one line.

#include <cstdint>
#include <string>

#include "floppy/disk_image.h"
#include "image/image_records.h"

struct ImageFacts {
    std::uint64_t fileLength = 0;
    ImageTrailer trailer;
    std::uint64_t imageOffset = 0;  // bytes before the image (an image appended to another file)
    bool hasData = false;
    bool compressed = false;      // the data record is zlib data, not raw
    std::uint32_t storedSize = 0;  // the data record's length
    bool unreadableListDamaged = false;  // a list of unreadable sectors that the restore ignores
};

struct SurveyedImage {
    ImageFacts facts;
    CDiskImage image;  // the geometry and, when valid, the raw disk
    bool fileFailed = false;  // the file itself could not be opened or read
    std::string problem;      // empty when the restore takes the image
};

// Reads and validates the image at `path` into `result`; false with
// `result.problem` set when the file cannot be read or the image is invalid.
bool SurveyImageFile(const std::string& path, SurveyedImage& result);
