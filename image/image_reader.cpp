#include <algorithm>
#include <cstring>
#include <optional>

#include "floppy/disk_image.h"
#include "image/buffered_file.h"
#include "image/geometry_bytes.h"
#include "image/image_records.h"
#include "image/image_validation.h"
#include "image/sector_list.h"

namespace {

// Only the leading bytes that the record holds replace the geometry; bytes
// beyond the 20 of a geometry are ignored.
void OverlayGeometry(DiskGeometry& geometry, const std::uint8_t* content, std::uint32_t length)
{
    std::uint8_t bytes[kGeometryRecordSize];
    SerialiseGeometry(geometry, bytes);
    std::memcpy(bytes, content, std::min(length, kGeometryRecordSize));
    geometry = ParseGeometry(bytes);
}

// A real image has a handful of records; only a crafted one has so many that
// a Ctrl-C must be able to stop the reading of them.
constexpr unsigned kRecordsBetweenCancelChecks = 4096;

// Takes over the records one by one until the end record or one that cannot
// be read whole; a later record of a kind replaces an earlier one. False when
// a Ctrl-C stopped the reading.
bool ReadImageRecords(CImageFile& file, CDiskImage& image, std::optional<std::vector<std::uint8_t>>& unreadableList)
{
    CBufferedFile buffered(file);
    std::uint16_t type = 0;
    std::uint32_t length = 0;
    ByteBuffer content;
    for (unsigned count = 1; ReadRecord(buffered, type, length, content) != 0; ++count) {
        if (count % kRecordsBetweenCancelChecks == 0 && image.CheckCancel())
            return false;
        if (type == RecordGeometry)
            OverlayGeometry(image.m_geometry, content.get(), length);
        else if (type == RecordCompressedData || type == RecordRawData)
            image.AdoptData(std::move(content), length, type == RecordCompressedData);
        else if (type == RecordUnreadableSectors)
            unreadableList.emplace(content.get(), content.get() + length);
        // The reserved flag and unknown records carry nothing we use.
    }
    return true;
}

// Expands the data and makes sure it covers exactly the geometry, so that the
// disk writer never takes a sector from beyond it. An image without data is
// left for the disk writer to refuse.
bool ExpandToGeometry(CDiskImage& image)
{
    std::uint32_t rawSize = 0;
    if (!RawDiskSize(image.m_geometry, rawSize))
        return false;
    if (!image.m_pData)
        return true;
    // No disk that could take the image is larger: a crafted geometry of
    // gigabytes is refused before any of it is allocated.
    if (rawSize > image.m_nLargestDisk)
        return false;
    if (image.m_bCompressed && !image.CompressData(false))
        return false;
    return image.m_nSize == rawSize;
}

}  // namespace

bool CDiskImage::ReadFromFile(CImageFile& file)
{
    m_bCancel = false;
    Free();
    m_unreadableSectors.clear();
    m_bUnreadableListDamaged = false;
    std::optional<std::vector<std::uint8_t>> unreadableList;
    try {
        if (!ValidateImageFile(file, *this)) {
            Print("failed (old or unrecognized file format)", true);
            return false;
        }
        Print("Reading image data...", false);
        if (!ReadImageRecords(file, *this, unreadableList))
            return false;
    } catch (const ImageFileError&) {
        return false;  // the caller reports that the file could not be read
    }
    Print("ok", true);
    // Checked against the geometry the records left, whatever their order.
    if (unreadableList)
        m_bUnreadableListDamaged = !ParseSectorList(*unreadableList, m_geometry, m_unreadableSectors);
    return ExpandToGeometry(*this);
}
