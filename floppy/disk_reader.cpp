#include "floppy/disk_device.h"
#include "floppy/disk_image.h"

bool CDiskImage::ReadFromDevice(CDiskDevice& device)
{
    m_unreadableSectors.clear();
    DiskGeometry inserted;
    if (!QueryMedia(device, inserted))
        return false;
    if (!Allocate(inserted)) {
        Print("Buffer allocation failed.", false);
        return false;
    }
    Print("Reading data...", false);
    const bool read = TransferAllSectors(device, inserted, Direction::Read);
    m_unreadableSectors = m_skippedSectors;
    return read;
}
