#pragma once
// Writes an image file from a plain value. Prints nothing.

#include <cstdint>

#include "image/image_contents.h"
#include "image/image_file.h"

// The records in the order the format gives them: geometry, reserved flag,
// the data as stored (compressed or raw), the list of unreadable sectors when
// there is one, and the end record with the current version. Returns the
// file's length after writing, or 0 (never an image's length) when the file
// failed or the image would not fit the trailer's 32-bit size.
std::uint64_t WriteImageFile(CImageFile& file, const ImageContents& contents);
