#include "image/non_image_file.h"

#include "formats/floppy_layouts.h"
#include "image/geometry_bytes.h"
#include "image/image_records.h"

NonImageFile GuessNonImageFile(CImageFile& file)
{
    try {
        const std::uint64_t length = file.GetLength();
        if (ReadTrailer(file).Magic == kImageMagic)
            return NonImageFile::Image;
        if (StandardFloppyOfCapacity(length) != nullptr)
            return NonImageFile::RawDisk;
        // An image starts with its geometry and ends with its trailer: a copy cut
        // short keeps the one and loses the other.
        file.Seek(0, platform::SeekOrigin::Begin);
        std::uint16_t type = 0;
        std::uint32_t recordLength = 0;
        if (ReadRecordHeader(file, type, recordLength) && type == RecordGeometry &&
            recordLength == kGeometryRecordSize)
            return NonImageFile::TruncatedImage;
        return NonImageFile::Unknown;
    } catch (const ImageFileError&) {
        return NonImageFile::Unknown;
    }
}
