#pragma once
// Reads an image file into a plain value. Prints nothing: a refusal comes back
// as its reason, and the caller says what it means.

#include <atomic>
#include <cstdint>

#include "image/image_contents.h"
#include "image/image_file.h"

enum class ImageReadFault {
    None,
    NotAnImage,    // no trailer with the magic number at the file's end
    BadStructure,  // the trailer's TotalSize is larger than the file or than the end record alone
    Cancelled,     // the cancel flag was set while the records were read
    FileFailed,    // a read or a seek failed; the cause is the thread's last error
};

struct ImageReadLimits {
    // The largest raw disk that could take the image. A data record longer
    // than zlib's bound for it is skipped (ImageContents::dataTooLong), and so
    // is a list of unreadable sectors longer than such a disk could need.
    std::uint32_t largestRawSize = 0;
    const std::atomic<bool>* cancel = nullptr;  // polled while the records are read
};

// The trailer: fills fileLength, trailer and imageOffset, and leaves the file
// at the image's first byte.
ImageReadFault LocateImage(CImageFile& file, ImageContents& contents);

// The records from the file's position on, until the end record or one that
// the file cuts short; a later record of a kind replaces an earlier one.
// Geometry records overlay contents.geometry, so a file without one leaves it
// as the caller set it. Records not used are skipped unread.
ImageReadFault ReadImageRecords(CImageFile& file, ImageContents& contents, const ImageReadLimits& limits);
