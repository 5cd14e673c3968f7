#pragma once

#include "console/console_log.h"
#include "image/image_file.h"

// Checks the trailer, seeks to the image's first byte and prints a notice for
// a version other than 2.1 through `reporter`. True when the file may be read.
bool ValidateImageFile(CImageFile& file, const CConsoleLog& reporter);
