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

// The writer's rule: the inserted media must match the image in every field.
bool CDiskImage::CheckCompatibleMedia(CDiskDevice& device, const DiskGeometry& inserted)
{
    if (inserted == m_geometry)
        return true;
    Print("Required media is: " + device.DescribeMediaType(m_geometry.MediaType), false);
    PrintError("Inserted media is not compatible.");
    return false;
}
