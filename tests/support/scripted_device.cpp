#include "tests/support/scripted_device.h"

#include <algorithm>
#include <cstring>

#include "platform/last_error.h"
#include "tests/support/error_codes.h"

CScriptedDevice::CScriptedDevice(const DiskGeometry& geometry) : m_geometry(geometry)
{
    std::uint32_t size = 0;
    if (RawDiskSize(geometry, size))
        m_medium.assign(size, 0);
}

void CScriptedDevice::FailReads(int cylinder, int sector, int head, int times, std::uint32_t errorCode)
{
    m_readFaults[{cylinder, sector, head}] = times;
    m_readCodes[{cylinder, sector, head}] = errorCode;
}

void CScriptedDevice::FailWrites(int cylinder, int sector, int head, int times, std::uint32_t errorCode)
{
    m_writeFaults[{cylinder, sector, head}] = times;
    m_writeCodes[{cylinder, sector, head}] = errorCode;
}

bool CScriptedDevice::Open(DriveVolume /*volume*/, bool /*flag*/)
{
    return true;
}

bool CScriptedDevice::Probe(DriveVolume /*volume*/)
{
    return true;
}

bool CScriptedDevice::GetGeometry(DiskGeometry& out)
{
    if (m_geometryError != 0) {
        platform::SetLastErrorCode(m_geometryError);
        return false;
    }
    out = m_geometry;
    return true;
}

bool CScriptedDevice::Fails(std::map<Place, int>& faults, std::map<Place, std::uint32_t>& codes, const Place& place)
{
    if (m_allTransfersError != 0) {
        platform::SetLastErrorCode(m_allTransfersError);
        return true;
    }
    auto fault = faults.find(place);
    if (fault == faults.end() || fault->second == 0)
        return false;
    if (fault->second > 0)
        --fault->second;
    platform::SetLastErrorCode(codes[place]);
    return true;
}

bool CScriptedDevice::WriteSector(const DiskGeometry& geometry, const std::uint8_t* source, std::uint16_t cylinder,
                                  std::uint16_t sector, std::uint16_t head)
{
    const Place place{cylinder, sector, head};
    if (m_bLogTransfers)
        m_writes.push_back(place);
    if (m_onTransfer)
        m_onTransfer();
    if (Fails(m_writeFaults, m_writeCodes, place))
        return false;
    const std::uint32_t offset = SectorOffset(geometry, {cylinder, head, sector});
    std::memcpy(m_medium.data() + offset, source, geometry.BytesPerSector);
    if (m_weakSectors.count(place) != 0)
        m_medium[offset] ^= 0xFF;
    return true;
}

bool CScriptedDevice::ReadSector(const DiskGeometry& geometry, std::uint8_t* target, std::uint16_t cylinder,
                                 std::uint16_t sector, std::uint16_t head)
{
    const Place place{cylinder, sector, head};
    if (m_bLogTransfers)
        m_reads.push_back(place);
    if (m_onTransfer)
        m_onTransfer();
    if (Fails(m_readFaults, m_readCodes, place)) {
        std::memset(target, m_failedReadLeavesByte, geometry.BytesPerSector);
        return false;
    }
    const std::uint32_t offset = SectorOffset(geometry, {cylinder, head, sector});
    // Past the end of the medium, as a drive asked beyond its disk.
    if (std::uint64_t{offset} + geometry.BytesPerSector > m_medium.size()) {
        platform::SetLastErrorCode(SectorErrorCode());
        return false;
    }
    std::memcpy(target, m_medium.data() + offset, geometry.BytesPerSector);
    return true;
}

bool CScriptedDevice::ForgetCachedSectors()
{
    m_cacheForgotten.push_back(m_reads.size());
    return true;
}

std::vector<std::uint8_t> PatternBytes(std::size_t size, std::uint8_t seed)
{
    std::vector<std::uint8_t> bytes(size);
    std::uint32_t state = seed * 2654435761u + 1;
    for (auto& byte : bytes) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<std::uint8_t>(state >> 16);
    }
    return bytes;
}

bool FillWithPattern(CDiskImage& image, const DiskGeometry& geometry, std::uint8_t seed)
{
    if (!image.Allocate(geometry))
        return false;
    const std::vector<std::uint8_t> pattern = PatternBytes(image.m_nSize, seed);
    std::memcpy(image.m_pData.get(), pattern.data(), pattern.size());
    return true;
}
