// CDiskImage's image file operations: the image format (image/) reads and
// writes the file; these print the lines a user sees and adopt the result.
#include "floppy/disk_image.h"

#include "image/image_reader.h"
#include "image/image_writer.h"

namespace {

void ReportVersion(const CDiskImage& image, const ImageTrailer& trailer)
{
    const VersionAge age = AgeOf(trailer);
    if (age == VersionAge::Current)
        return;
    image.Print(FormatText(age == VersionAge::Newer ? "Newer image file from version %i.%i"
                                                    : "Older image file from version %i.%i",
                           static_cast<int>(trailer.VersionMajor), static_cast<int>(trailer.VersionMinor)),
                false);
}

// False when the trailer does not lead to an image; prints what the user sees.
bool LocateAndReport(CDiskImage& image, CImageFile& file, ImageContents& contents)
{
    const ImageReadFault fault = LocateImage(file, contents);
    if (fault == ImageReadFault::BadStructure)
        image.PrintError("Image file validation failed (invalid file structure)");
    if (fault == ImageReadFault::NotAnImage || fault == ImageReadFault::BadStructure)
        image.Print("failed (old or unrecognized file format)", true);
    if (fault != ImageReadFault::None)
        return false;  // a failing file is reported by the caller
    ReportVersion(image, contents.trailer);
    return true;
}

// Expands the data and makes sure it covers exactly the geometry, so that the
// disk writer never takes a sector from beyond it. An image without data is
// left for the disk writer to refuse.
bool ExpandToGeometry(CDiskImage& image, bool dataTooLong)
{
    std::uint32_t rawSize = 0;
    if (!RawDiskSize(image.m_geometry, rawSize) || dataTooLong)
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
    m_surroundings = {};
    ImageContents contents;
    contents.geometry = m_geometry;  // a file without a geometry record leaves it
    if (!LocateAndReport(*this, file, contents))
        return false;
    Print("Reading image data...", false);
    const ImageReadFault fault = ReadImageRecords(file, contents, {m_nLargestDisk, &m_bCancel});
    if (fault == ImageReadFault::Cancelled)
        CheckCancel();
    if (fault != ImageReadFault::None)
        return false;
    Print("ok", true);
    m_geometry = contents.geometry;
    m_unreadableSectors = std::move(contents.unreadableSectors);
    m_bUnreadableListDamaged = contents.unreadableListDamaged;
    m_surroundings = std::move(static_cast<ImageSurroundings&>(contents));
    if (contents.data)
        AdoptData(std::move(contents.data), contents.dataSize, contents.compressed);
    return ExpandToGeometry(*this, contents.dataTooLong);
}

bool CDiskImage::WriteToFile(CImageFile& file, CImageFile* previous)
{
    m_bCancel = false;
    CompressData(true);  // a refusal leaves raw data, which is stored as it is
    Print("Writing image data to file...", false);
    ImageContents contents;
    contents.geometry = m_geometry;
    contents.compressed = m_bCompressed;
    contents.data = std::move(m_pData);  // lent to the writer, not copied
    contents.dataSize = m_nSize;
    contents.unreadableSectors = m_unreadableSectors;
    if (previous != nullptr)
        static_cast<ImageSurroundings&>(contents) = m_surroundings;
    const std::uint64_t length =
        previous != nullptr ? RewriteImageFile(file, contents, *previous) : WriteImageFile(file, contents);
    m_pData = std::move(contents.data);
    if (length == 0)
        return false;  // the caller reports that the file could not be written
    // The length is 64 bits wide; a printf directive for it differs between runtimes.
    Print("ok (" + std::to_string(length / 1000) + "kb)", true);
    return true;
}
