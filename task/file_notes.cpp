#include "task/file_notes.h"

#include "console/console_log.h"
#include "console/shown_name.h"

void NoteFileFailure(const std::string& name)
{
    PrintNote(ShownName(name) + ": " + LastErrorText());
}
