#include "image/image_validation.h"

#include "image/image_records.h"

namespace {

void ReportVersion(const ImageTrailer& trailer, const CConsoleLog& reporter)
{
    const unsigned major = trailer.VersionMajor;
    const unsigned minor = trailer.VersionMinor;
    const char* notice = nullptr;
    if (major > kImageVersionMajor || (major == kImageVersionMajor && minor > kImageVersionMinor))
        notice = "Newer image file from version %i.%i";
    else if (major < kImageVersionMajor || minor < kImageVersionMinor)
        notice = "Older image file from version %i.%i";
    if (notice != nullptr)
        reporter.Print(FormatText(notice, static_cast<int>(major), static_cast<int>(minor)), false);
}

}  // namespace

bool ValidateImageFile(CImageFile& file, const CConsoleLog& reporter)
{
    const ImageTrailer trailer = ReadTrailer(file);
    if (trailer.Magic != kImageMagic)
        return false;
    const std::uint64_t length = file.GetLength();
    // An image smaller than its own end record cannot be located in the file.
    if (trailer.TotalSize > length || trailer.TotalSize < kEndRecordSize) {
        reporter.PrintError("Image file validation failed (invalid file structure)");
        return false;
    }
    file.Seek(static_cast<std::int64_t>(length - trailer.TotalSize), platform::SeekOrigin::Begin);
    ReportVersion(trailer, reporter);
    return true;
}
