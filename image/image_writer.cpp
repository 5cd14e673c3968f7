#include "image/image_writer.h"

#include "image/geometry_bytes.h"
#include "image/sector_list.h"

namespace {

constexpr std::uint32_t kReservedFlagSize = 1;
// Geometry, reserved flag and end record around the data record's content.
constexpr std::uint64_t kImageOverhead = 53;

}  // namespace

std::uint64_t WriteImageFile(CImageFile& file, const ImageContents& contents)
{
    // The trailer's 32-bit TotalSize has to describe the whole image.
    if (contents.dataSize + kImageOverhead + 6 + std::uint64_t{contents.unreadableSectors.size()} * 4 > UINT32_MAX)
        return 0;
    try {
        std::uint8_t geometry[kGeometryRecordSize];
        SerialiseGeometry(contents.geometry, geometry);
        const std::uint8_t reservedFlag[kReservedFlagSize] = {0};
        std::uint32_t total = WriteRecord(file, RecordGeometry, kGeometryRecordSize, geometry);
        total += WriteRecord(file, RecordReservedFlag, kReservedFlagSize, reservedFlag);
        total += WriteRecord(file, contents.compressed ? RecordCompressedData : RecordRawData, contents.dataSize,
                             contents.data.get());
        if (!contents.unreadableSectors.empty()) {
            const auto list = SerialiseSectorList(contents.unreadableSectors);
            total += WriteRecord(file, RecordUnreadableSectors, static_cast<std::uint32_t>(list.size()), list.data());
        }

        ImageTrailer trailer;
        trailer.TotalSize = total + kEndRecordSize;
        trailer.VersionMajor = kImageVersionMajor;
        trailer.VersionMinor = kImageVersionMinor;
        trailer.Magic = kImageMagic;
        WriteEndRecord(file, trailer);
        return file.GetLength();
    } catch (const ImageFileError&) {
        return 0;
    }
}
