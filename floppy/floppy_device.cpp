#include "floppy/floppy_device.h"

namespace {

// The drive letter of a volume code; 0 for a code that names no drive.
char DriveLetter(DriveVolume volume)
{
    switch (volume) {
    case VolumeA: return 'A';
    case VolumeB: return 'B';
    default: return 0;
    }
}

}  // namespace

bool CFloppyDevice::Open(DriveVolume volume, bool /*flag*/)
{
    Close();
    const char letter = DriveLetter(volume);
    if (letter == 0)
        return false;
    m_hDevice = platform::OpenVolume(letter, m_bReadOnly ? platform::VolumeAccess::Read
                                                         : platform::VolumeAccess::ReadWrite);
    return m_hDevice != nullptr;
}

bool CFloppyDevice::Probe(DriveVolume volume)
{
    Close();
    return Open(volume, true) && Close();
}

bool CFloppyDevice::GetGeometry(DiskGeometry& out)
{
    return m_hDevice != nullptr && platform::GetVolumeGeometry(m_hDevice, out);
}

bool CFloppyDevice::WriteSector(const DiskGeometry& geometry, const std::uint8_t* source, std::uint16_t cylinder,
                                std::uint16_t sector, std::uint16_t head)
{
    return m_hDevice != nullptr && platform::WriteVolume(m_hDevice, SectorOffset(geometry, {cylinder, head, sector}),
                                                         source, geometry.BytesPerSector);
}

bool CFloppyDevice::ReadSector(const DiskGeometry& geometry, std::uint8_t* target, std::uint16_t cylinder,
                               std::uint16_t sector, std::uint16_t head)
{
    return m_hDevice != nullptr && platform::ReadVolume(m_hDevice, SectorOffset(geometry, {cylinder, head, sector}),
                                                        target, geometry.BytesPerSector);
}

bool CFloppyDevice::ForgetCachedSectors()
{
    return m_hDevice != nullptr && platform::ForgetCachedSectors(m_hDevice);
}
