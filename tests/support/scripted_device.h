#pragma once
// A sector device in memory whose every answer a test can script: a medium of
// any geometry, sectors that fail once or always, a failing media query, and a
// hook that runs inside each transfer (to press Ctrl-C mid-read, say).

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <tuple>
#include <vector>

#include "floppy/disk_device.h"
#include "floppy/disk_image.h"

class CScriptedDevice : public CDiskDevice {
public:
    using Place = std::tuple<int, int, int>;  // cylinder, sector, head: the device's order

    explicit CScriptedDevice(const DiskGeometry& geometry);

    // The next `times` transfers of that sector fail with `errorCode`
    // (times < 0: every one of them).
    void FailReads(int cylinder, int sector, int head, int times, std::uint32_t errorCode);
    void FailWrites(int cylinder, int sector, int head, int times, std::uint32_t errorCode);
    // Every transfer fails with `errorCode` (a write-protected or missing medium).
    void FailAllTransfers(std::uint32_t errorCode) { m_allTransfersError = errorCode; }
    void FailGeometry(std::uint32_t errorCode) { m_geometryError = errorCode; }
    // Writes of that sector succeed, but the medium keeps other bytes (a weak
    // spot that takes a write and does not read it back).
    void KeepOtherBytes(int cylinder, int sector, int head) { m_weakSectors.insert({cylinder, sector, head}); }

    bool Open(DriveVolume volume, bool flag) override;
    bool Probe(DriveVolume volume) override;
    bool GetGeometry(DiskGeometry& out) override;
    bool WriteSector(const DiskGeometry& geometry, const std::uint8_t* source, std::uint16_t cylinder,
                     std::uint16_t sector, std::uint16_t head) override;
    bool ReadSector(const DiskGeometry& geometry, std::uint8_t* target, std::uint16_t cylinder, std::uint16_t sector,
                    std::uint16_t head) override;
    bool ForgetCachedSectors() override;

    DiskGeometry m_geometry;            // what the drive reports
    std::vector<std::uint8_t> m_medium;  // the disk's bytes in linear order
    std::vector<Place> m_reads;         // every read attempt, in order (while m_bLogTransfers)
    std::vector<Place> m_writes;        // every write attempt, in order (while m_bLogTransfers)
    // Off for a benchmark: the logs would grow with the disk and be measured too.
    bool m_bLogTransfers = true;
    std::vector<std::size_t> m_cacheForgotten;  // the size of m_reads at each ForgetCachedSectors
    std::function<void()> m_onTransfer;  // runs inside every transfer attempt
    // A failed read scribbles this byte over the target, as a real driver may.
    std::uint8_t m_failedReadLeavesByte = 0xEE;

private:
    bool Fails(std::map<Place, int>& faults, std::map<Place, std::uint32_t>& codes, const Place& place);

    std::map<Place, int> m_readFaults, m_writeFaults;
    std::map<Place, std::uint32_t> m_readCodes, m_writeCodes;
    std::set<Place> m_weakSectors;
    std::uint32_t m_allTransfersError = 0;
    std::uint32_t m_geometryError = 0;
};

// A pattern that differs from sector to sector, so misplaced data shows.
std::vector<std::uint8_t> PatternBytes(std::size_t size, std::uint8_t seed = 1);
// Allocates the image for `geometry` and fills it with that pattern, as the
// image reader leaves an image.
bool FillWithPattern(CDiskImage& image, const DiskGeometry& geometry, std::uint8_t seed);
