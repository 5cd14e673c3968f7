#include "floppy/disk_device.h"
#include "floppy/disk_image.h"

bool CDiskImage::ReadFromDevice(CDiskDevice& device)
{
    DiskGeometry inserted;
    if (!QueryMedia(device, inserted))
        return false;
    if (!Allocate(inserted)) {
        Print("Buffer allocation failed.", false);
        return false;
    }
    Print("Reading data...", false);
    return TransferAllSectors(device, inserted, Direction::Read);
}
