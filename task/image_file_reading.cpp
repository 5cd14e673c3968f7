#include <algorithm>

#include "console/shown_name.h"
#include "formats/floppy_layouts.h"
#include "task/copy_thread.h"

namespace {

// The disk writer takes only an image of exactly the inserted disk's
// geometry, so no image larger than that disk (or than the largest standard
// floppy, so that an image for another floppy is still shown as one) needs
// its data expanded. Asked quietly: the writer reports the media query.
std::uint32_t LargestUsefulImage(CDiskDevice& device)
{
    DiskGeometry inserted;
    std::uint32_t size = 0;
    if (device.GetGeometry(inserted) && RawDiskSize(inserted, size))
        return std::max(size, kLargestStandardFloppy);
    return kLargestStandardFloppy;
}

}  // namespace

std::unique_ptr<CDiskFile> CCopyThread::ReadImageFile(CDiskDevice& device, const std::string& name)
{
    auto file = CDiskFile::OpenForReading(name);
    if (!file) {
        PrintError("Image file '" + ShownName(name) + "' could not be opened.");
        return nullptr;
    }
    m_image.m_nLargestDisk = LargestUsefulImage(device);
    if (!m_image.ReadFromFile(*file)) {
        Print("Image file could not be read.", false);
        return nullptr;
    }
    return file;
}
