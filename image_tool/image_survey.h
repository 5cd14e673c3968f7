#pragma once
// An image file read once, as the restore reads it, with what the restore
// does not keep (where the image starts, how its data is stored) and, when
// the restore would refuse it, what is wrong, in one line.

#include <cstdint>
#include <string>

#include "image/image_contents.h"

struct SurveyedImage {
    ImageContents contents;  // as the file holds it
    ByteBuffer disk;         // the raw disk, when valid
    std::uint32_t diskSize = 0;
    bool fileFailed = false;  // the file itself could not be opened or read
    std::string problem;      // empty when the restore takes the image
};

// Reads and validates the image at `path` into `result`; false with
// `result.problem` set when the file cannot be read or the image is invalid.
bool SurveyImageFile(const std::string& path, SurveyedImage& result);
