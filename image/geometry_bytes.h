#pragma once
// The 20-byte form of a DiskGeometry as the geometry record holds it.

#include <cstdint>

#include "formats/disk_geometry.h"

constexpr std::uint32_t kGeometryRecordSize = 20;

void SerialiseGeometry(const DiskGeometry& geometry, std::uint8_t* bytes);
DiskGeometry ParseGeometry(const std::uint8_t* bytes);
