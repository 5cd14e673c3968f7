#include "image_tool/image_survey.h"

#include "console/console_log.h"
#include "formats/floppy_layouts.h"
#include "image/disk_file.h"
#include "image/image_compression.h"
#include "image/image_reader.h"
#include "image/non_image_file.h"
#include "image_tool/tool_commands.h"

namespace {

std::string TrailerProblem(ImageReadFault fault, const ImageContents& contents, NonImageFile kind)
{
    if (kind == NonImageFile::RawDisk)
        return "not an image file (no image trailer at its end; a raw disk of a standard size? import makes an "
               "image of it)";
    if (kind == NonImageFile::TruncatedImage)
        return "not an image file (no image trailer at its end; truncated?)";
    if (fault == ImageReadFault::NotAnImage)
        return "not an image file (no image trailer at its end)";
    const ImageTrailer& trailer = contents.trailer;
    if (trailer.TotalSize > contents.fileLength)
        return FormatText("invalid file structure (the trailer gives an image of %u bytes, the file has %llu)",
                          trailer.TotalSize, static_cast<unsigned long long>(contents.fileLength));
    return FormatText("invalid file structure (the trailer gives an image of %u bytes)", trailer.TotalSize);
}

// Why the data is not the disk; `shownSizes` when the restore would have
// shown its expanded size (within 10 % of the disk's).
std::string ExpansionProblem(const Expansion& expansion, std::uint32_t rawSize, bool shownSizes)
{
    const auto expanded = static_cast<unsigned>(expansion.expandedSize);
    switch (expansion.outcome) {
    case ExpansionOutcome::TooLong:
        if (!shownSizes)
            return FormatText("the compressed data expands to more than the geometry's %u bytes", rawSize);
        [[fallthrough]];
    case ExpansionOutcome::WrongLength:
        return FormatText("the compressed data expands to %u bytes, the geometry needs %u", expanded, rawSize);
    case ExpansionOutcome::EndsEarly:
        return "the compressed data ends early";
    case ExpansionOutcome::Damaged:
        return "the compressed data is damaged (" + expansion.zlibMessage + ")";
    default:
        return "the compressed data could not be expanded (not enough memory)";
    }
}

// What makes the restore refuse the records, in the order it finds out; the
// raw disk into `result.disk` when it takes them.
std::string DataProblem(SurveyedImage& result)
{
    ImageContents& contents = result.contents;
    if (!contents.hasData)
        return "the image holds no disk data";
    if (contents.dataTooLong)
        return FormatText("the data record holds %u bytes, more than any floppy's data could take",
                          contents.dataSize);
    std::uint32_t rawSize = 0;
    if (!RawDiskSize(contents.geometry, rawSize))
        return "the geometry describes a disk of 4 GB or more";
    if (rawSize == 0)
        return "the geometry holds no sector";
    const bool fits = rawSize <= kLargestStandardFloppy;
    if (contents.compressed) {
        Expansion expansion = ExpandDiskData(contents.data.get(), contents.dataSize, rawSize, fits);
        if (expansion.outcome != ExpansionOutcome::Expanded)
            return ExpansionProblem(expansion, rawSize, fits && expansion.endedWithinBound);
        result.disk = std::move(expansion.data);
    } else if (contents.dataSize != rawSize) {
        return FormatText("the raw data holds %u bytes, the geometry needs %u", contents.dataSize, rawSize);
    } else {
        result.disk = std::move(contents.data);
    }
    if (!fits)
        return FormatText("the geometry describes a disk of %u bytes, larger than any floppy", rawSize);
    result.diskSize = rawSize;
    return "";
}

}  // namespace

bool SurveyImageFile(const std::string& path, SurveyedImage& result)
{
    const auto file = CDiskFile::OpenForReading(path);
    if (!file) {
        result.fileFailed = true;
        result.problem = "cannot open: " + LastErrorText();
        return false;
    }
    ImageReadFault fault = LocateImage(*file, result.contents);
    if (fault == ImageReadFault::None)
        fault = ReadImageRecords(*file, result.contents, {kLargestStandardFloppy, nullptr});
    const NonImageFile kind = fault == ImageReadFault::NotAnImage ? GuessNonImageFile(*file) : NonImageFile::Image;
    if (fault == ImageReadFault::FileFailed) {
        result.fileFailed = true;
        result.problem = "cannot read: " + LastErrorText();
        return false;
    }
    result.problem = fault == ImageReadFault::None ? DataProblem(result) : TrailerProblem(fault, result.contents, kind);
    return result.problem.empty();
}
