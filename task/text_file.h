#pragma once
// Small text files written whole (the records beside images) and read whole.

#include <string>

// Replaces `path` with `text` as an image is replaced: written beside it,
// flushed, moved over it and its folder flushed. False, with `path` as it
// was, when any of it fails.
bool ReplaceWithText(const std::string& path, const std::string& text);

// The whole of a regular file of up to 64 MiB; false when it cannot be read.
bool ReadWholeText(const std::string& path, std::string& text);
