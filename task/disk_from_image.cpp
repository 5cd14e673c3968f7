#include "console/shown_name.h"
#include "image/disk_file.h"
#include "task/copy_thread.h"

#include <algorithm>
#include <string>

namespace {

// The disk the image was made from had sectors that could not be read; the
// restored disk holds zeros there, and the user should know before writing.
void WarnOfUnreadableSectors(const CDiskImage& image)
{
    if (image.m_bUnreadableListDamaged)
        image.PrintWarning("The list of unreadable sectors in this image is damaged and is ignored.");
    const std::size_t count = image.m_unreadableSectors.size();
    if (count == 1)
        image.PrintWarning("1 sector of this image could not be read when it was made and holds zeros.");
    else if (count > 1)
        image.PrintWarning(std::to_string(count) +
                           " sectors of this image could not be read when it was made and hold zeros.");
}

}  // namespace

JobOutcome CCopyThread::CreateDiskFromImage(CDiskDevice& device, const std::string& name)
{
    const auto file = CDiskFile::OpenForReading(name);
    if (!file) {
        PrintError("Image file '" + ShownName(name) + "' could not be opened.");
        return JobOutcome::Failed;
    }
    m_image.m_nLargestDisk = LargestUsefulImage(device);
    if (!m_image.ReadFromFile(*file)) {
        Print("Image file could not be read.", false);
        return JobOutcome::Failed;
    }
    WarnOfUnreadableSectors(m_image);
    // The writer starts afresh on its own flag; a Ctrl-C that came while
    // the file was read or expanded must still keep the disk untouched.
    if (CheckCancel()) {
        Print("Disk could not be written.", false);
        return JobOutcome::Failed;
    }
    return WriteDiskAndReport(m_image, device, m_bVerify);
}

JobOutcome WriteDiskAndReport(CDiskImage& image, CDiskDevice& device, bool verify)
{
    // A disk that reads back other bytes than the image is no restored disk.
    const bool done = image.WriteToDevice(device) && (!verify || image.VerifyOnDevice(device));
    image.Print(done ? "Disk successfully created." : "Disk could not be written.", false);
    return done ? TransferOutcome(image) : JobOutcome::Failed;
}

// The disk writer takes only an image of exactly the inserted disk's
// geometry, so no image larger than that disk (or than the largest standard
// floppy, so that an image for another floppy is still shown as one) needs
// its data expanded. Asked quietly: the writer reports the media query.
std::uint32_t LargestUsefulImage(CDiskDevice& device)
{
    DiskGeometry inserted;
    std::uint32_t size = 0;
    if (device.GetGeometry(inserted) && RawDiskSize(inserted, size))
        return std::max(size, CDiskImage::kLargestFloppy);
    return CDiskImage::kLargestFloppy;
}
