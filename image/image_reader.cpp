#include "image/image_reader.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <optional>

#include "image/buffered_file.h"
#include "image/geometry_bytes.h"
#include "image/sector_list.h"

namespace {

// A real image has a handful of records; only a crafted one has so many that
// a Ctrl-C must be able to stop the reading of them.
constexpr unsigned kRecordsBetweenCancelChecks = 4096;
// No floppy has smaller sectors, so no list of a floppy's sectors is longer.
constexpr std::uint32_t kSmallestSector = 128;

struct RecordPlace {
    std::uint64_t content = 0;  // offset of the content in the file
    std::uint32_t length = 0;
};

// Only the leading bytes that the record holds replace the geometry; bytes
// beyond the 20 of a geometry are ignored.
void OverlayGeometry(CBufferedFile& file, std::uint32_t length, DiskGeometry& geometry)
{
    std::uint8_t bytes[kGeometryRecordSize];
    SerialiseGeometry(geometry, bytes);
    const std::uint32_t used = std::min(length, kGeometryRecordSize);
    if (file.Read(bytes, used) != used)
        return;
    geometry = ParseGeometry(bytes);
    file.Skip(length - used);
}

// False when the content cannot be had (memory, or a file that shrank).
bool TakeData(CBufferedFile& file, std::uint16_t type, std::uint32_t length, std::uint64_t limit,
              ImageContents& contents)
{
    contents.data.reset();  // before the next one is allocated
    contents.hasData = false;
    if (length <= limit) {
        ByteBuffer data = AllocateBytes(length);
        if (!data || file.Read(data.get(), length) != length)
            return false;
        contents.data = std::move(data);
    } else {
        file.Skip(length);
    }
    contents.hasData = true;
    contents.compressed = type == RecordCompressedData;
    contents.dataSize = length;
    contents.dataTooLong = length > limit;
    return true;
}

void NoteUnused(std::uint16_t type, std::uint32_t length, std::uint64_t offset, ImageContents& contents)
{
    if (contents.unusedRecords.size() < ImageContents::kMaxUnusedRecords)
        contents.unusedRecords.push_back({type, length, offset});
    else
        contents.moreUnusedRecords = true;
}

// The list is read once the geometry is known, whatever the records' order.
void TakeSectorList(CBufferedFile& file, const RecordPlace& place, std::uint32_t largestRawSize,
                    ImageContents& contents)
{
    std::uint32_t rawSize = 0;
    const bool fits = RawDiskSize(contents.geometry, rawSize) &&
                      place.length / 4 <= std::min(rawSize, largestRawSize) / kSmallestSector;
    std::vector<std::uint8_t> content;
    if (fits) {
        file.Seek(static_cast<std::int64_t>(place.content), platform::SeekOrigin::Begin);
        content.resize(place.length);
        if (file.Read(content.data(), place.length) != place.length)
            content.clear();
    }
    contents.unreadableListDamaged =
        !fits || !ParseSectorList(content, contents.geometry, contents.unreadableSectors);
}

}  // namespace

ImageReadFault LocateImage(CImageFile& file, ImageContents& contents)
{
    try {
        contents.trailer = ReadTrailer(file);
        if (contents.trailer.Magic != kImageMagic)
            return ImageReadFault::NotAnImage;
        contents.fileLength = file.GetLength();
        // An image smaller than its own end record cannot be located in the file.
        if (contents.trailer.TotalSize > contents.fileLength || contents.trailer.TotalSize < kEndRecordSize)
            return ImageReadFault::BadStructure;
        contents.imageOffset = contents.fileLength - contents.trailer.TotalSize;
        file.Seek(static_cast<std::int64_t>(contents.imageOffset), platform::SeekOrigin::Begin);
    } catch (const ImageFileError&) {
        return ImageReadFault::FileFailed;
    }
    return ImageReadFault::None;
}

ImageReadFault ReadImageRecords(CImageFile& file, ImageContents& contents, const ImageReadLimits& limits)
{
    const std::uint64_t dataLimit = compressBound(limits.largestRawSize);
    try {
        CBufferedFile buffered(file);
        std::optional<RecordPlace> list;
        std::uint16_t type = 0;
        std::uint32_t length = 0;
        for (unsigned count = 1;; ++count) {
            const std::uint64_t offset = buffered.Seek(0, platform::SeekOrigin::Current);
            if (!ReadRecordHeader(buffered, type, length))
                break;
            if (count % kRecordsBetweenCancelChecks == 0 && limits.cancel != nullptr && limits.cancel->load())
                return ImageReadFault::Cancelled;
            if (type == RecordGeometry) {
                OverlayGeometry(buffered, length, contents.geometry);
            } else if (type == RecordCompressedData || type == RecordRawData) {
                if (!TakeData(buffered, type, length, dataLimit, contents))
                    break;
            } else {
                if (type == RecordUnreadableSectors)
                    list = RecordPlace{offset + kRecordHeaderSize, length};
                else if (type != RecordReservedFlag)  // the flag carries nothing
                    NoteUnused(type, length, offset, contents);
                buffered.Skip(length);
            }
        }
        if (list)
            TakeSectorList(buffered, *list, limits.largestRawSize, contents);
    } catch (const ImageFileError&) {
        return ImageReadFault::FileFailed;
    }
    return ImageReadFault::None;
}
