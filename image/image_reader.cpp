#include <algorithm>
#include <cstring>

#include "floppy/disk_image.h"
#include "image/geometry_bytes.h"
#include "image/image_records.h"
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

// Takes over the records one by one until the end record or one that cannot
// be read whole; a later record of a kind replaces an earlier one.
void ReadImageRecords(CImageFile& file, CDiskImage& image, std::vector<std::uint8_t>& unreadableList)
{
    std::uint16_t type = 0;
    std::uint32_t length = 0;
    ByteBuffer content;
    while (ReadRecord(file, type, length, content) != 0) {
        if (type == RecordGeometry)
            OverlayGeometry(image.m_geometry, content.get(), length);
        else if (type == RecordCompressedData || type == RecordRawData)
            image.AdoptData(std::move(content), length, type == RecordCompressedData);
        else if (type == RecordUnreadableSectors)
            unreadableList.assign(content.get(), content.get() + length);
        // The reserved flag and unknown records carry nothing we use.
    }
}

// Expands the data and makes sure it covers exactly the geometry, so that the
// disk writer never takes a sector from beyond it. An image without data is
// left for the disk writer to refuse.
bool ExpandToGeometry(CDiskImage& image)
{
    std::uint32_t rawSize = 0;
    if (!RawDiskSize(image.m_geometry, rawSize))
        return false;
    if (image.m_bCompressed && !image.CompressData(false))
        return false;
    return !image.m_pData || image.m_nSize == rawSize;
}

}  // namespace

bool CDiskImage::ReadFromFile(CImageFile& file)
{
    m_bCancel = false;
    Free();
    m_unreadableSectors.clear();
    std::vector<std::uint8_t> unreadableList;
    try {
        if (!ValidateImageFile(file, *this)) {
            Print("failed (old or unrecognized file format)", true);
            return false;
        }
        Print("Reading image data...", false);
        ReadImageRecords(file, *this, unreadableList);
    } catch (const ImageFileError&) {
        return false;  // the caller reports that the file could not be read
    }
    Print("ok", true);
    // Checked against the geometry the records left, whatever their order.
    ParseSectorList(unreadableList, m_geometry, m_unreadableSectors);
    return ExpandToGeometry(*this);
}
