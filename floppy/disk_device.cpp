#include "floppy/disk_device.h"

#include "floppy/media_type.h"

CDiskDevice::~CDiskDevice()
{
    if (m_hDevice != nullptr)
        Close();
}

bool CDiskDevice::Close()
{
    if (m_hDevice == nullptr)
        return false;
    if (!platform::CloseVolume(m_hDevice))
        return false;
    m_hDevice = nullptr;
    return true;
}

std::string CDiskDevice::DescribeMediaType(std::uint32_t mediaType) const
{
    return ::DescribeMediaType(mediaType);
}

std::uint32_t SectorOffset(const DiskGeometry& geometry, std::uint32_t cylinder, std::uint32_t head,
                           std::uint32_t sector)
{
    return (((cylinder - 1) * geometry.TracksPerCylinder + (head - 1)) * geometry.SectorsPerTrack +
            (sector - 1)) *
           geometry.BytesPerSector;
}
