#include "console/console_log.h"
#include "formats/floppy_layouts.h"
#include "image/disk_file.h"
#include "image/image_compression.h"
#include "image/image_writer.h"
#include "image_tool/tool_commands.h"
#include "platform/file_names.h"

namespace {

std::string AcceptedSizes()
{
    std::string sizes;
    for (const StandardFloppy& floppy : StandardFloppies()) {
        if (floppy.knownBySize)
            sizes += (sizes.empty() ? "" : ", ") + std::to_string(Capacity(floppy.geometry));
    }
    return sizes;
}

// The whole raw file into `disk`; empty when that worked, else what went wrong.
std::string ReadWholeDisk(CDiskFile& file, std::uint8_t* disk, std::uint32_t size)
{
    try {
        if (file.Read(disk, size) != size || file.GetLength() != size)
            return "it changed size while it was read";
    } catch (const ImageFileError&) {
        return "cannot read: " + LastErrorText();
    }
    return "";
}

}  // namespace

int ImportRawDisk(const std::string& raw, const std::string& image)
{
    if (platform::SameFile(raw, image))
        return RefuseSameFile(image);
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

    // The same steps as imaging a drive: a whole disk in memory, compressed
    // unless zlib refuses, into a new file that replaces the target when complete.
    const auto diskSize = static_cast<std::uint32_t>(size);
    ByteBuffer disk = AllocateBytes(diskSize);
    if (!disk)
        return RefuseInput(raw, "not enough memory");
    if (const std::string failure = ReadWholeDisk(*file, disk.get(), diskSize); !failure.empty())
        return RefuseInput(raw, failure);
    ImageContents contents;
    contents.geometry = floppy->geometry;
    CompressedData packed = CompressDiskData(disk.get(), diskSize);
    contents.compressed = packed.data != nullptr;
    contents.data = contents.compressed ? std::move(packed.data) : std::move(disk);
    contents.dataSize = contents.compressed ? packed.size : diskSize;
    return WriteNewFile(image, [&contents](CImageFile& file) { return WriteImageFile(file, contents) != 0; });
}
