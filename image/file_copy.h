#pragma once

#include <cstdint>

#include "image/image_file.h"

// Copies `length` bytes from `offset` in `from` to the current position of
// `to`, through a small buffer whatever the length. Raises ImageFileError
// when either file fails or `from` ends before them.
void CopyFileBytes(CImageFile& from, std::uint64_t offset, std::uint64_t length, CImageFile& to);
