#include "task/drive_notes.h"

#include "console/console_log.h"
#include "platform/drive_device.h"
#include "platform/last_error.h"

void NoteDriveNotOpened(DriveVolume volume)
{
    const std::uint32_t error = platform::GetLastErrorCode();
    const std::string drive = DriveName(volume);
    const std::string device = platform::DriveDevicePath(drive[0]);
    if (device.empty()) {
        PrintNote("this system has no floppy drive " + drive);
        return;
    }
    PrintNote("drive " + drive + " is " + device + ", which could not be opened");
    if (platform::IsAccessDenied(error))
        PrintNote("permission to open " + device + " was denied; " + platform::DriveAccessAdvice(device));
}
