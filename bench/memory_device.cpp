#include "bench/memory_device.h"

#include <cstring>

CMemoryDevice::CMemoryDevice(const DiskGeometry& geometry) : m_geometry(geometry)
{
    std::uint32_t size = 0;
    if (RawDiskSize(geometry, size))
        m_medium.assign(size, 0);
}

bool CMemoryDevice::Open(DriveVolume /*volume*/, bool /*flag*/)
{
    return true;
}

bool CMemoryDevice::Probe(DriveVolume /*volume*/)
{
    return true;
}

bool CMemoryDevice::GetGeometry(DiskGeometry& out)
{
    out = m_geometry;
    return true;
}

bool CMemoryDevice::WriteSector(const DiskGeometry& geometry, const std::uint8_t* source, std::uint16_t cylinder,
                                std::uint16_t sector, std::uint16_t head)
{
    std::memcpy(m_medium.data() + SectorOffset(geometry, cylinder, head, sector), source, geometry.BytesPerSector);
    return true;
}

bool CMemoryDevice::ReadSector(const DiskGeometry& geometry, std::uint8_t* target, std::uint16_t cylinder,
                               std::uint16_t sector, std::uint16_t head)
{
    std::memcpy(target, m_medium.data() + SectorOffset(geometry, cylinder, head, sector), geometry.BytesPerSector);
    return true;
}
