#include <string>

#include "floppy/disk_image.h"
#include "image/geometry_bytes.h"
#include "image/image_records.h"
#include "image/sector_list.h"

namespace {

constexpr std::uint32_t kReservedFlagSize = 1;
// Geometry, reserved flag and end record around the data record's content.
constexpr std::uint64_t kImageOverhead = 53;

}  // namespace

bool CDiskImage::WriteToFile(CImageFile& file)
{
    m_bCancel = false;
    CompressData(true);  // a refusal leaves raw data, which is stored as it is
    Print("Writing image data to file...", false);
    // The trailer's 32-bit TotalSize has to describe the whole image.
    if (m_nSize + kImageOverhead + 6 + std::uint64_t{m_unreadableSectors.size()} * 4 > UINT32_MAX)
        return false;
    try {
        std::uint8_t geometry[kGeometryRecordSize];
        SerialiseGeometry(m_geometry, geometry);
        const std::uint8_t reservedFlag[kReservedFlagSize] = {0};
        std::uint32_t total = WriteRecord(file, RecordGeometry, kGeometryRecordSize, geometry);
        total += WriteRecord(file, RecordReservedFlag, kReservedFlagSize, reservedFlag);
        total += WriteRecord(file, m_bCompressed ? RecordCompressedData : RecordRawData, m_nSize, m_pData.get());
        if (!m_unreadableSectors.empty()) {
            const auto list = SerialiseSectorList(m_unreadableSectors);
            total += WriteRecord(file, RecordUnreadableSectors, static_cast<std::uint32_t>(list.size()), list.data());
        }

        ImageTrailer trailer;
        trailer.TotalSize = total + kEndRecordSize;
        trailer.VersionMajor = kImageVersionMajor;
        trailer.VersionMinor = kImageVersionMinor;
        trailer.Magic = kImageMagic;
        WriteEndRecord(file, trailer);

        // The length is 64 bits wide; a printf directive for it differs between runtimes.
        Print("ok (" + std::to_string(file.GetLength() / 1000) + "kb)", true);
    } catch (const ImageFileError&) {
        return false;  // the caller reports that the file could not be written
    }
    return true;
}
