#pragma once
// One sector moved under the transfers' rule: a second attempt at once when
// the first fails, none when the whole medium failed.

#include <cstdint>

#include "formats/disk_geometry.h"

class CDiskDevice;

enum class TransferDirection { Read, Write };

enum class SectorResult { Transferred, Fixed, Skipped, MediumFailed };

// Moves one sector between `bytes` and the device. After Skipped or
// MediumFailed the last error tells why.
SectorResult TransferWithRetry(CDiskDevice& device, const DiskGeometry& geometry, std::uint8_t* bytes,
                               TransferDirection direction, const SectorPlace& place);
