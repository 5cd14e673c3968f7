#pragma once
// A drive whose medium is a block of memory: every transfer is a copy, so a
// benchmark over it measures our read-compress-write path and nothing else.
// It keeps no record of the transfers, which would grow with the disk.

#include <cstdint>
#include <vector>

#include "floppy/disk_device.h"

class CMemoryDevice : public CDiskDevice {
public:
    explicit CMemoryDevice(const DiskGeometry& geometry);

    bool Open(DriveVolume volume, bool flag) override;
    bool Probe(DriveVolume volume) override;
    bool GetGeometry(DiskGeometry& out) override;
    bool WriteSector(const DiskGeometry& geometry, const std::uint8_t* source, std::uint16_t cylinder,
                     std::uint16_t sector, std::uint16_t head) override;
    bool ReadSector(const DiskGeometry& geometry, std::uint8_t* target, std::uint16_t cylinder, std::uint16_t sector,
                    std::uint16_t head) override;

    DiskGeometry m_geometry;
    std::vector<std::uint8_t> m_medium;  // the disk's bytes in linear order
};
