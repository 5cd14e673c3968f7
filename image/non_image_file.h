#pragma once
// What a file without an image trailer most likely is, so that a refusal can
// tell the user what to do with it.

#include "image/image_file.h"

enum class NonImageFile {
    Image,           // it has a trailer: no guess needed
    RawDisk,         // a standard floppy's size: a disk as dd reads it
    TruncatedImage,  // an image's first record, but the end is missing
    Unknown,
};

// Unknown, too, when the file cannot be read.
NonImageFile GuessNonImageFile(CImageFile& file);
