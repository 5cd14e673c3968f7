#include "floppy/disk_device.h"
#include "floppy/disk_image.h"
#include "floppy/media_type.h"

// Opens both the disk reader and the disk writer: learns what is in the drive.
bool CDiskImage::QueryMedia(CDiskDevice& device, DiskGeometry& inserted)
{
    m_bCancel = false;
    Print("Querying media information...", false);
    if (!device.GetGeometry(inserted)) {
        Print("failed", true);
        PrintError(GetLastErrorText());
        return false;
    }
    Print("ok", true);
    Print("Inserted media: " + device.DescribeMediaType(inserted.MediaType), false);
    return true;
}
