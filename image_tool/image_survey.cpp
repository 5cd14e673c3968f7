#include "image_tool/image_survey.h"

#include <vector>

#include "console/console_log.h"
#include "image/disk_file.h"
#include "image/non_image_file.h"
#include "image/sector_list.h"
#include "image_tool/library_lines.h"
#include "image_tool/stream_diagnosis.h"
#include "image_tool/tool_commands.h"

namespace {

// Where the image lies and how its data is stored: the reader takes the same
// records but keeps neither.
void NoteFacts(CImageFile& file, ImageFacts& facts, std::vector<std::uint8_t>& unreadableList)
{
    facts.fileLength = file.GetLength();
    facts.trailer = ReadTrailer(file);
    if (facts.trailer.Magic != kImageMagic || facts.trailer.TotalSize > facts.fileLength ||
        facts.trailer.TotalSize < kEndRecordSize)
        return;
    facts.imageOffset = facts.fileLength - facts.trailer.TotalSize;
    file.Seek(static_cast<std::int64_t>(facts.imageOffset), platform::SeekOrigin::Begin);
    std::uint16_t type = 0;
    std::uint32_t length = 0;
    ByteBuffer content;
    // A later record of a kind replaces an earlier one, as in the reader.
    while (ReadRecord(file, type, length, content) != 0) {
        if (type == RecordCompressedData || type == RecordRawData) {
            facts.hasData = true;
            facts.compressed = type == RecordCompressedData;
            facts.storedSize = length;
        } else if (type == RecordUnreadableSectors) {
            unreadableList.assign(content.get(), content.get() + length);
        }
    }
}

// What makes the restore refuse the image, in the order it finds out; empty
// when it takes it.
std::string ProblemOf(const ImageFacts& facts, const CDiskImage& image, bool readerTookIt, NonImageFile kind)
{
    const ImageTrailer& trailer = facts.trailer;
    if (kind == NonImageFile::RawDisk)
        return "not an image file (no image trailer at its end; a raw disk of a standard size? import makes an "
               "image of it)";
    if (kind == NonImageFile::TruncatedImage)
        return "not an image file (no image trailer at its end; truncated?)";
    if (trailer.Magic != kImageMagic)
        return "not an image file (no image trailer at its end)";
    if (trailer.TotalSize > facts.fileLength)
        return FormatText("invalid file structure (the trailer gives an image of %u bytes, the file has %llu)",
                          trailer.TotalSize, static_cast<unsigned long long>(facts.fileLength));
    if (trailer.TotalSize < kEndRecordSize)
        return FormatText("invalid file structure (the trailer gives an image of %u bytes)", trailer.TotalSize);
    if (!facts.hasData)
        return "the image holds no disk data";
    std::uint32_t rawSize = 0;
    if (!RawDiskSize(image.m_geometry, rawSize))
        return "the geometry describes a disk of 4 GB or more";
    if (rawSize == 0)
        return "the geometry holds no sector";
    if (image.m_bCompressed)
        return DiagnoseCompressedData(image.m_pData.get(), image.m_nSize, rawSize);
    if (image.m_nSize != rawSize)
        return FormatText(facts.compressed ? "the compressed data expands to %u bytes, the geometry needs %u"
                                           : "the raw data holds %u bytes, the geometry needs %u",
                          image.m_nSize, rawSize);
    return readerTookIt ? "" : "the image reader refuses it";
}

}  // namespace

bool SurveyImageFile(const std::string& path, SurveyedImage& result)
{
    const auto file = CDiskFile::OpenForReading(path);
    if (!file) {
        result.fileFailed = true;
        result.problem = "cannot open: " + LastErrorText();
        return false;
    }
    std::vector<std::uint8_t> unreadableList;
    bool readerTookIt = false;
    NonImageFile kind = NonImageFile::Image;
    try {
        NoteFacts(*file, result.facts, unreadableList);
        if (result.facts.trailer.Magic != kImageMagic)
            kind = GuessNonImageFile(*file);
        const CQuietLibraryLines quiet;
        readerTookIt = result.image.ReadFromFile(*file);
    } catch (const ImageFileError&) {
        result.fileFailed = true;
        result.problem = "cannot read: " + LastErrorText();
        return false;
    }
    // The reader keeps a list only when every entry can be trusted.
    std::vector<std::uint32_t> parsed;
    result.facts.unreadableListDamaged = !ParseSectorList(unreadableList, result.image.m_geometry, parsed);
    result.problem = ProblemOf(result.facts, result.image, readerTookIt, kind);
    return result.problem.empty();
}
