#include "platform/posix/floppy_driver_layout.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>

#include "formats/declared_layout.h"
#include "formats/floppy_layouts.h"
#include "platform/last_error.h"
#include "platform/raw_volume.h"

namespace platform {

namespace {

// Access mode 3 opens a block device for ioctls alone: the driver takes a
// layout from it without our opening the disk for writing.
constexpr int kIoctlOnly = 3;

bool SetLayout(Volume& volume, floppy_struct parameters, const DiskGeometry& layout)
{
    if (volume.layoutDescriptor < 0)
        volume.layoutDescriptor = OpenRetrying(volume.path, kIoctlOnly);
    if (volume.layoutDescriptor < 0)
        return false;
    // The driver's data rate, gaps and step settings stay: only the counts change.
    parameters.size = static_cast<unsigned>(SectorCount(layout));
    parameters.sect = layout.SectorsPerTrack;
    parameters.head = layout.TracksPerCylinder;
    parameters.track = layout.Cylinders;
    parameters.name = nullptr;
    return ioctl(volume.layoutDescriptor, FDSETPRM, &parameters) == 0;
}

}  // namespace

bool GeometryFromFloppyDriver(Volume& volume, const floppy_struct& parameters, DiskGeometry& out)
{
    DiskGeometry layout{128u << FD_SIZECODE(&parameters), parameters.sect, parameters.head, parameters.track, 0};
    const LayoutAccess access{
        [&](const DiskGeometry& under, const SectorPlace& place, std::uint8_t* bytes) {
            return ReadVolume(&volume, SectorOffset(under, place), bytes, under.BytesPerSector);
        },
        [&](const DiskGeometry& declared) { return SetLayout(volume, parameters, declared); },
        [&] { ClearFloppyDriverLayout(volume); },
    };
    if (ChooseLayout(access, layout) == LayoutChoice::Refused) {
        errno = EMEDIUMTYPE;  // never a truncated image
        return false;
    }
    // The drive's type name starts with a lower-case letter for a 5.25" drive.
    floppy_drive_name name{};
    const bool fiveAndAQuarter =
        ioctl(volume.descriptor, FDGETDRVTYP, name) == 0 && std::islower(static_cast<unsigned char>(name[0]));
    layout.MediaType = MediaTypeForLayout(layout, fiveAndAQuarter);
    out = layout;
    return true;
}

void ClearFloppyDriverLayout(Volume& volume)
{
    if (volume.layoutDescriptor < 0)
        return;
    LastErrorGuard keep;
    ioctl(volume.layoutDescriptor, FDCLRPRM);
    close(volume.layoutDescriptor);
    volume.layoutDescriptor = -1;
}

}  // namespace platform
