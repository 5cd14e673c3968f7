#include "floppy/disk_device.h"
#include "floppy/disk_image.h"

namespace {

// Every sector of the geometry must come from the buffer, raw and whole.
bool HoldsWholeRawDisk(const CDiskImage& image)
{
    std::uint32_t rawSize = 0;
    return image.m_pData && !image.m_bCompressed && RawDiskSize(image.m_geometry, rawSize) &&
           image.m_nSize >= rawSize;
}

}  // namespace

bool CDiskImage::WriteToDevice(CDiskDevice& device)
{
    m_skippedSectors.clear();
    if (!HoldsWholeRawDisk(*this))
        return false;
    DiskGeometry inserted;
    if (!QueryMedia(device, inserted))
        return false;
    if (!(inserted == m_geometry)) {
        Print("Required media is: " + device.DescribeMediaType(m_geometry.MediaType), false);
        PrintError("Inserted media is not compatible.");
        return false;
    }
    Print("Writing data...", false);
    return TransferAllSectors(device, inserted, Direction::Write);
}
