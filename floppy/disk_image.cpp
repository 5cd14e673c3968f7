#include "floppy/disk_image.h"

#include "floppy/disk_device.h"

CDiskImage::~CDiskImage()
{
    Free();
}

bool CDiskImage::Allocate(const DiskGeometry& geometry)
{
    m_geometry = geometry;
    Free();
    std::uint32_t size = 0;
    if (!RawDiskSize(geometry, size))
        return false;
    ByteBuffer data = AllocateZeroedBytes(size);
    if (!data)
        return false;
    AdoptData(std::move(data), size, false);
    return true;
}

bool CDiskImage::Free()
{
    m_pData.reset();
    m_nSize = 0;
    m_bCompressed = false;
    return true;
}

std::uint8_t* CDiskImage::SectorAddress(const SectorPlace& place)
{
    if (!m_pData || m_bCompressed)
        return nullptr;
    return m_pData.get() + SectorOffset(m_geometry, place);
}

void CDiskImage::AdoptData(ByteBuffer data, std::uint32_t size, bool compressed)
{
    m_pData = std::move(data);
    m_nSize = size;
    m_bCompressed = compressed;
}

bool CDiskImage::HoldsWholeRawDisk() const
{
    std::uint32_t rawSize = 0;
    return m_pData && !m_bCompressed && RawDiskSize(m_geometry, rawSize) && m_nSize >= rawSize;
}
