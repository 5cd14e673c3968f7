#pragma once

#include <string>

// After the image file `name` could not be created or replaced, with the
// system's error still the last one: notes the file and the system's reason,
// which the job's own line does not give.
void NoteFileFailure(const std::string& name);
