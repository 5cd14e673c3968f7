#include "floppy/disk_device.h"

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
