#pragma once

#include "floppy/disk_device.h"

// The sector device over the raw volume of drive A: or B:.
class CFloppyDevice : public CDiskDevice {
public:
    // The job only reads the disk: the drive is opened for reading where the
    // system allows it (Linux), so that imaging cannot change an original.
    bool m_bReadOnly = false;

    bool Open(DriveVolume volume, bool flag) override;
    bool Probe(DriveVolume volume) override;
    bool GetGeometry(DiskGeometry& out) override;
    bool WriteSector(const DiskGeometry& geometry, const std::uint8_t* source,
                     std::uint16_t cylinder, std::uint16_t sector, std::uint16_t head) override;
    bool ReadSector(const DiskGeometry& geometry, std::uint8_t* target,
                    std::uint16_t cylinder, std::uint16_t sector, std::uint16_t head) override;
    bool ForgetCachedSectors() override;
};
