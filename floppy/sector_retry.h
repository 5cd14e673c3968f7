#pragma once
// One sector moved under the transfers' rule: a second attempt at once when
// the first fails, none when the whole medium failed.

#include <cstdint>

#include "floppy/disk_geometry.h"

class CDiskDevice;

enum class SectorResult { Transferred, Fixed, Skipped, MediumFailed };

// Moves one sector between `place` and the device (`write` chooses the way).
// After Skipped or MediumFailed the last error tells why.
SectorResult TransferWithRetry(CDiskDevice& device, const DiskGeometry& geometry, std::uint8_t* place, bool write,
                               std::uint16_t cylinder, std::uint16_t sector, std::uint16_t head);
