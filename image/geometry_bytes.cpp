#include "image/geometry_bytes.h"

#include "formats/little_endian.h"

void SerialiseGeometry(const DiskGeometry& geometry, std::uint8_t* bytes)
{
    PutU32(bytes, geometry.BytesPerSector);
    PutU32(bytes + 4, geometry.SectorsPerTrack);
    PutU32(bytes + 8, geometry.TracksPerCylinder);
    PutU32(bytes + 12, geometry.Cylinders);
    PutU32(bytes + 16, geometry.MediaType);
}

DiskGeometry ParseGeometry(const std::uint8_t* bytes)
{
    DiskGeometry geometry;
    geometry.BytesPerSector = GetU32(bytes);
    geometry.SectorsPerTrack = GetU32(bytes + 4);
    geometry.TracksPerCylinder = GetU32(bytes + 8);
    geometry.Cylinders = GetU32(bytes + 12);
    geometry.MediaType = GetU32(bytes + 16);
    return geometry;
}
