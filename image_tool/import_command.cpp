#include "console/console_log.h"
#include "floppy/disk_image.h"
#include "formats/floppy_layouts.h"
#include "image/disk_file.h"
#include "image/image_target.h"
#include "image_tool/library_lines.h"
#include "image_tool/tool_commands.h"

namespace {

std::string AcceptedSizes()
{
    std::string sizes;
    for (const StandardFloppy& floppy : StandardFloppies())
        sizes += (sizes.empty() ? "" : ", ") + std::to_string(Capacity(floppy.geometry));
    return sizes;
}

// The whole raw file into the disk's buffer; empty when that worked, else
// what went wrong.
std::string ReadWholeDisk(CDiskFile& file, CDiskImage& disk)
{
    try {
        if (file.Read(disk.m_pData.get(), disk.m_nSize) != disk.m_nSize || file.GetLength() != disk.m_nSize)
            return "it changed size while it was read";
    } catch (const ImageFileError&) {
        return "cannot read: " + LastErrorText();
    }
    return "";
}

}  // namespace

int ImportRawDisk(const std::string& raw, const std::string& image)
{
    const auto file = CDiskFile::OpenForReading(raw);
    if (!file)
        return RefuseInput(raw, "cannot open: " + LastErrorText());
    std::uint64_t size = 0;
    try {
        size = file->GetLength();
    } catch (const ImageFileError&) {
        return RefuseInput(raw, "cannot read: " + LastErrorText());
    }
    const StandardFloppy* floppy = StandardFloppyOfCapacity(size);
    if (floppy == nullptr)
        return RefuseInput(raw, std::to_string(size) + " bytes is no standard floppy size; accepted sizes: " +
                                    AcceptedSizes());

    // The same steps as imaging a drive: a whole disk in memory, then the
    // image writer, into a new file that replaces the target when complete.
    CDiskImage disk;
    // The disk as a drive holding it reports it: a medium known only by its
    // size is a 3.5" disk, as with a USB drive or a plain file in the Linux binding.
    if (!disk.Allocate(floppy->geometry))
        return RefuseInput(raw, "not enough memory");
    if (const std::string failure = ReadWholeDisk(*file, disk); !failure.empty())
        return RefuseInput(raw, failure);
    CImageTarget target;
    if (!target.Create(image))
        return RefuseInput(image, "cannot create: " + LastErrorText());
    const CQuietLibraryLines quiet;
    if (!disk.WriteToFile(target.File()) || !target.Commit())
        return RefuseInput(image, "cannot write: " + LastErrorText());
    return kExitDone;
}
