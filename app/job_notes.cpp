#include "app/job_notes.h"

#include <string>

#include "console/console_log.h"
#include "console/shown_name.h"
#include "floppy/count_of_sectors.h"
#include "image/disk_file.h"
#include "image/non_image_file.h"

namespace {

// On a bad disk the "Skipping" lines have scrolled away by the end.
void NoteSkippedSectors(OperationMode mode, std::size_t count)
{
    if (mode == OpRescueImage)
        PrintNote(CountOfSectors(count) + " of the image " + (count == 1 ? "is" : "are") +
                  " still unreadable; the exit status is 3");
    else
        PrintNote(CountOfSectors(count) + (count == 1 ? " was" : " were") +
                  " skipped (see the \"Skipping\" lines); the exit status is 3");
}

void NoteNonImageFile(const std::string& name)
{
    const auto file = CDiskFile::OpenForReading(name);
    const NonImageFile kind = file ? GuessNonImageFile(*file) : NonImageFile::Unknown;
    const std::string shown = QuotedName(name);
    if (kind == NonImageFile::RawDisk)
        PrintNote(shown + " is no image but has the size of a raw floppy disk: "
                  "'mendarovel-image import " + ShownName(name) + " NEW.dsk' makes an image of it");
    else if (kind == NonImageFile::TruncatedImage)
        PrintNote(shown + " begins as an image but has no end: truncated?");
}

}  // namespace

void NoteJobEnd(OperationMode mode, const std::string& image, JobOutcome outcome, std::size_t skippedSectors)
{
    if (outcome == JobOutcome::CompletedWithSkips)
        NoteSkippedSectors(mode, skippedSectors);
    if (outcome == JobOutcome::Failed && mode == OpDiskFromImage)
        NoteNonImageFile(image);
}

// A second run without -f replaces this file; the user should know its name.
void NoteDefaultImageName(const CopyOptions& options)
{
    if (!options.m_bImageFileNamed)
        PrintNote("the image file is " + QuotedName(options.m_strImageFile) +
                  " in the current folder (the default name; -f names another)");
}
