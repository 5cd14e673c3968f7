#pragma once
// The sector device that the disk reader and writer work on.
//
// No operation prints: each answers with a bool and leaves the operating
// system's last error in place for the caller to report.

#include <cstdint>
#include <string>

#include "console/console_log.h"
#include "formats/disk_geometry.h"
#include "platform/raw_volume.h"

// The floppy drive of a job, as the command line chose it.
enum DriveVolume : std::int32_t {
    VolumeNone = 20,
    VolumeA = 21,
    VolumeB = 22,
};

// The drive a command line names, A or B in either case; VolumeNone for any
// other text.
inline DriveVolume VolumeNamed(const std::string& letter)
{
    if (letter == "A" || letter == "a")
        return VolumeA;
    return letter == "B" || letter == "b" ? VolumeB : VolumeNone;
}

// "A:" or "B:", as the lines and the records name the drive.
inline std::string DriveName(DriveVolume volume)
{
    return volume == VolumeB ? "B:" : "A:";
}

class CDiskDevice : public CConsoleLog {
public:
    CDiskDevice() = default;
    ~CDiskDevice() override;

    // Closes the handle; false when it was not open or the system refused
    // (the handle then stays, so that a later Close tries again).
    bool Close();

    virtual bool Open(DriveVolume volume, bool flag) = 0;
    virtual bool Probe(DriveVolume volume) = 0;
    virtual bool GetGeometry(DiskGeometry& out) = 0;
    // Cylinder, sector and head count from 1, in this argument order.
    virtual bool WriteSector(const DiskGeometry& geometry, const std::uint8_t* source,
                             std::uint16_t cylinder, std::uint16_t sector, std::uint16_t head) = 0;
    virtual bool ReadSector(const DiskGeometry& geometry, std::uint8_t* target,
                            std::uint16_t cylinder, std::uint16_t sector, std::uint16_t head) = 0;
    // Makes the next reads come from the medium, not from what was kept of
    // it; before reading back what was written. A device without such a
    // store has nothing to do.
    virtual bool ForgetCachedSectors() { return true; }

protected:
    platform::VolumeHandle m_hDevice = nullptr;
};
