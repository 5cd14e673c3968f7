#include "floppy/disk_device.h"
#include "floppy/disk_image.h"

bool CDiskImage::WriteToDevice(CDiskDevice& device)
{
    m_skippedSectors.clear();
    if (!HoldsWholeRawDisk())
        return false;
    DiskGeometry inserted;
    if (!QueryMedia(device, inserted))
        return false;
    if (!CheckCompatibleMedia(device, inserted))
        return false;
    Print("Writing data...", false);
    return TransferAllSectors(device, inserted, Direction::Write);
}
