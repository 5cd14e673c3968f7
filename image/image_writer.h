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

// Why a file with these surroundings cannot be rewritten whole: a newer major
// version may give its records meanings this program does not know, and
// records beyond those listed cannot be carried over.
enum class RewriteFault { None, NewerMajorVersion, TooManyRecords };
RewriteFault CheckRewrite(const ImageSurroundings& surroundings);

// As WriteImageFile, for a file that takes the place of `previous`, from
// which `contents` was read: first the bytes before the image there, as they
// are; after this program's records, before the end record, the records it
// does not use, unchanged (those of an older major version are left out, as
// their meaning in this one is unknown); TotalSize counts them. 0 as well when
// CheckRewrite refuses or `previous` no longer has the length it was read with.
std::uint64_t RewriteImageFile(CImageFile& file, const ImageContents& contents, CImageFile& previous);
