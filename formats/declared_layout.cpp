#include "formats/declared_layout.h"

#include <vector>

#include "formats/floppy_layouts.h"
#include "formats/little_endian.h"

namespace {

constexpr std::uint32_t kSectorSize = 512;

// The last sector of track 0 and of the last cylinder: where a wrong layout
// fails first.
bool ReadsAtBothEnds(const LayoutAccess& access, const DiskGeometry& layout)
{
    std::vector<std::uint8_t> sector(kSectorSize);
    return access.readSector(layout, {1, 1, layout.SectorsPerTrack}, sector.data()) &&
           access.readSector(layout, PlaceOf(layout, SectorCount(layout) - 1), sector.data());
}

}  // namespace

bool DeclaredLayout(const std::uint8_t* sector, std::size_t size, DiskGeometry& layout)
{
    // A boot sector starts with a jump over its parameter block.
    if (size < kSectorSize || !(sector[0] == 0xE9 || (sector[0] == 0xEB && sector[2] == 0x90)))
        return false;
    const std::uint32_t sectorsPerTrack = GetU16(sector + 24);
    const std::uint32_t heads = GetU16(sector + 26);
    const std::uint32_t total = GetU16(sector + 19) != 0 ? GetU16(sector + 19) : GetU32(sector + 32);
    if (GetU16(sector + 11) != kSectorSize || sectorsPerTrack == 0 || heads == 0 || total == 0 ||
        total % (sectorsPerTrack * heads) != 0)
        return false;
    layout = {kSectorSize, sectorsPerTrack, heads, total / (sectorsPerTrack * heads), 0};
    return true;
}

LayoutChoice ChooseLayout(const LayoutAccess& access, DiskGeometry& layout)
{
    std::vector<std::uint8_t> boot(kSectorSize);
    DiskGeometry declared;
    // A smaller declared layout loses nothing under the driver's, which reads more.
    if (layout.BytesPerSector != kSectorSize || !access.readSector(layout, {1, 1, 1}, boot.data()) ||
        !DeclaredLayout(boot.data(), boot.size(), declared) || SectorCount(declared) <= SectorCount(layout))
        return LayoutChoice::Drivers;
    const StandardFloppy* standard = StandardFloppyOfLayout(declared);
    if (standard == nullptr)
        return LayoutChoice::Refused;
    if (access.useLayout(standard->geometry) && ReadsAtBothEnds(access, standard->geometry)) {
        layout = standard->geometry;
        layout.MediaType = 0;
        return LayoutChoice::Declared;
    }
    access.useDriversLayout();
    return LayoutChoice::Drivers;
}
