#pragma once
// Small text files written whole (the records beside images) and read whole.

#include <cstddef>
#include <functional>
#include <string>

// Replaces `path` with `text` as an image is replaced: written beside it,
// flushed, moved over it and its folder flushed. False, with `path` as it
// was, when any of it fails.
bool ReplaceWithText(const std::string& path, const std::string& text);

// Hands the whole of a regular file to `take`, block after block; false when
// it cannot be read or `take` refuses a block (and is then given no more).
bool ReadInBlocks(const std::string& path, const std::function<bool(const char* block, std::size_t size)>& take);

// The whole of a regular file of up to 64 MiB; false when it cannot be read.
bool ReadWholeText(const std::string& path, std::string& text);
