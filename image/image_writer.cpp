#include "image/image_writer.h"

#include "image/file_copy.h"
#include "image/geometry_bytes.h"
#include "image/sector_list.h"

namespace {

constexpr std::uint32_t kReservedFlagSize = 1;
// Geometry, reserved flag and end record around the data record's content.
constexpr std::uint64_t kImageOverhead = 53;

// The records this program writes, without the end record.
std::uint64_t OwnRecordsSize(const ImageContents& contents)
{
    const std::uint64_t list = contents.unreadableSectors.empty()
                                   ? 0
                                   : kRecordHeaderSize + std::uint64_t{contents.unreadableSectors.size()} * 4;
    return contents.dataSize + kImageOverhead - kEndRecordSize + list;
}

std::uint32_t WriteOwnRecords(CImageFile& file, const ImageContents& contents)
{
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
    return total;
}

void WriteCurrentEnd(CImageFile& file, std::uint32_t recordsSize)
{
    ImageTrailer trailer;
    trailer.TotalSize = recordsSize + kEndRecordSize;
    trailer.VersionMajor = kImageVersionMajor;
    trailer.VersionMinor = kImageVersionMinor;
    trailer.Magic = kImageMagic;
    WriteEndRecord(file, trailer);
}

bool CarriesRecords(const ImageSurroundings& surroundings)
{
    return surroundings.trailer.VersionMajor == kImageVersionMajor;
}

std::uint64_t CarriedSize(const ImageSurroundings& surroundings)
{
    std::uint64_t size = 0;
    if (CarriesRecords(surroundings))
        for (const UnusedRecord& record : surroundings.unusedRecords)
            size += kRecordHeaderSize + std::uint64_t{record.length};
    return size;
}

}  // namespace

std::uint64_t WriteImageFile(CImageFile& file, const ImageContents& contents)
{
    // The trailer's 32-bit TotalSize has to describe the whole image.
    if (OwnRecordsSize(contents) + kEndRecordSize > UINT32_MAX)
        return 0;
    try {
        WriteCurrentEnd(file, WriteOwnRecords(file, contents));
        return file.GetLength();
    } catch (const ImageFileError&) {
        return 0;
    }
}

RewriteFault CheckRewrite(const ImageSurroundings& surroundings)
{
    if (surroundings.trailer.VersionMajor > kImageVersionMajor)
        return RewriteFault::NewerMajorVersion;
    if (surroundings.moreUnusedRecords)
        return RewriteFault::TooManyRecords;
    return RewriteFault::None;
}

std::uint64_t RewriteImageFile(CImageFile& file, const ImageContents& contents, CImageFile& previous)
{
    const std::uint64_t carried = CarriedSize(contents);
    if (CheckRewrite(contents) != RewriteFault::None || OwnRecordsSize(contents) + carried + kEndRecordSize > UINT32_MAX)
        return 0;
    try {
        // Another program may have changed the file since it was read.
        if (previous.GetLength() != contents.fileLength)
            return 0;
        CopyFileBytes(previous, 0, contents.imageOffset, file);
        std::uint32_t total = WriteOwnRecords(file, contents);
        if (CarriesRecords(contents))
            for (const UnusedRecord& record : contents.unusedRecords)
                CopyFileBytes(previous, record.offset, kRecordHeaderSize + std::uint64_t{record.length}, file);
        WriteCurrentEnd(file, total + static_cast<std::uint32_t>(carried));
        return file.GetLength();
    } catch (const ImageFileError&) {
        return 0;
    }
}
