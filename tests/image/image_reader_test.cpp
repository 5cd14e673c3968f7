#include <gtest/gtest.h>

#include "floppy/disk_image.h"
#include "tests/image/image_bytes.h"
#include "tests/support/console_capture.h"
#include "tests/support/memory_file.h"

namespace {

const char kReadOk[] = "\nReading image data...ok";
const char kUnrecognized[] = "failed (old or unrecognized file format)";
const char kInvalidStructure[] = "\nERROR: Image file validation failed (invalid file structure)";

Printed<bool> ReadInto(CDiskImage& image, CMemoryFile& file)
{
    return RunPrinting([&] { return image.ReadFromFile(file); });
}

Printed<bool> Read(CDiskImage& image, const Bytes& bytes)
{
    CMemoryFile file(bytes);
    return ReadInto(image, file);
}

Bytes DataOf(const CDiskImage& image)
{
    return Bytes(image.m_pData.get(), image.m_pData.get() + image.m_nSize);
}

const Bytes kTwoSectorData = NoiseBytes(1024);

// The last 12 bytes of a file, without the end record's type in front.
Bytes TrailerOnly(std::uint32_t totalSize)
{
    const Bytes end = EndRecord(totalSize);
    return Bytes(end.begin() + 2, end.end());
}

Bytes RawTwoSectorImage()
{
    return ImageOf({Record(RecordGeometry, GeometryContent(kTwoSectors)), Record(RecordReservedFlag, {0}),
                    Record(RecordRawData, kTwoSectorData)});
}

}  // namespace

TEST(ImageReader, RoundTripsWhatTheWriterWrote)
{
    CDiskImage written;
    ASSERT_TRUE(written.Allocate(kFloppy144));
    for (std::uint32_t i = 0; i < written.m_nSize; i += 777)
        written.m_pData[i] = static_cast<std::uint8_t>(i);
    const Bytes original = DataOf(written);
    CMemoryFile file;
    {
        ConsoleCapture quiet;
        ASSERT_TRUE(written.WriteToFile(file));
    }
    file.Seek(0, platform::SeekOrigin::Begin);
    CDiskImage image;
    image.m_bCancel = true;
    const auto result = ReadInto(image, file);
    EXPECT_TRUE(result.result);
    EXPECT_TRUE(result.console.starts_with(std::string(kReadOk) + "\nExpanding data...ok (")) << result.console;
    EXPECT_FALSE(image.m_bCancel);
    EXPECT_EQ(image.m_geometry, kFloppy144);
    EXPECT_FALSE(image.m_bCompressed);
    EXPECT_TRUE(SameBytes(original, DataOf(image)));
}

TEST(ImageReader, OtherVersionsAreReportedAndRead)
{
    struct Case {
        std::uint16_t major, minor;
        const char* notice;
    } cases[] = {
        {2, 2, "\nNewer image file from version 2.2"}, {3, 0, "\nNewer image file from version 3.0"},
        {2, 0, "\nOlder image file from version 2.0"}, {1, 9, "\nOlder image file from version 1.9"},
        {2, 1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.notice);
        const Bytes whole = RawTwoSectorImage();
        ASSERT_GT(whole.size(), 14u);
        Bytes bytes(whole.begin(), whole.end() - 14);  // without its end record
        bytes = Join({bytes, EndRecord(static_cast<std::uint32_t>(bytes.size() + 14), c.major, c.minor)});
        CDiskImage image;
        const auto result = Read(image, bytes);
        EXPECT_TRUE(result.result);
        EXPECT_TRUE(SameBytes(std::string(c.notice) + kReadOk, result.console));
        EXPECT_TRUE(SameBytes(kTwoSectorData, DataOf(image)));
    }
}

TEST(ImageReader, AcceptsOtherLayoutsOfTheRecords)
{
    const Bytes geometry = Record(RecordGeometry, GeometryContent(kTwoSectors));
    const Bytes data = Record(RecordRawData, kTwoSectorData);
    const Bytes unknown = Record(0x7777, {1, 2, 3});
    const Bytes flag = Record(RecordReservedFlag, {0xFF});
    const Bytes noEnd = Join({geometry, data});
    const Bytes noEndCut = Join({geometry, data, Bytes{0x0A, 0x00, 0x14}});
    struct Case {
        const char* name;
        Bytes bytes;
    } cases[] = {
        {"as written", RawTwoSectorImage()},
        {"after leading bytes", Join({NoiseBytes(333), RawTwoSectorImage()})},
        {"reordered, unknown types, odd flag", ImageOf({unknown, data, flag, unknown, geometry})},
        {"a later data record replaces", ImageOf({Record(RecordRawData, {1, 2}), geometry, data})},
        // The trailer is still the file's last 12 bytes; the records stop before it.
        {"no end record", Join({noEnd, TrailerOnly(static_cast<std::uint32_t>(noEnd.size() + 12))})},
        {"last record cut short", Join({noEndCut, EndRecord(static_cast<std::uint32_t>(noEndCut.size() + 14))})},
        {"geometry longer than 20", ImageOf({Record(RecordGeometry, Join({GeometryContent(kTwoSectors), {9, 9}})),
                                             data})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CDiskImage image;
        const auto result = Read(image, c.bytes);
        EXPECT_TRUE(result.result);
        EXPECT_TRUE(SameBytes(kReadOk, result.console));
        EXPECT_EQ(image.m_geometry, kTwoSectors);
        EXPECT_FALSE(image.m_bCompressed);
        EXPECT_TRUE(SameBytes(kTwoSectorData, DataOf(image)));
    }
}

TEST(ImageReader, ShortGeometryReplacesOnlyItsLeadingBytes)
{
    CDiskImage image;
    image.m_geometry = {4096, 9, 9, 0x0300, 5};
    // 512, 1, 1 and then only the low byte of Cylinders.
    const Bytes thirteenBytes = {0x00, 0x02, 0, 0, 0x01, 0, 0, 0, 0x01, 0, 0, 0, 0x02};
    const auto result = Read(image, ImageOf({Record(RecordGeometry, thirteenBytes)}));
    EXPECT_TRUE(result.result);
    EXPECT_EQ(image.m_geometry, (DiskGeometry{512, 1, 1, 0x0302, 5}));
}

TEST(ImageReader, EndRecordAloneIsAnEmptyImage)
{
    CDiskImage image;
    image.Allocate(kTwoSectors);
    const auto result = Read(image, EndRecord(14));
    EXPECT_TRUE(result.result);
    EXPECT_TRUE(SameBytes(kReadOk, result.console));
    EXPECT_FALSE(image.m_pData);
    EXPECT_EQ(image.m_nSize, 0u);
    EXPECT_EQ(image.m_geometry, kTwoSectors);
}

TEST(ImageReader, RefusesUnrecognizedFiles)
{
    Bytes wrongMagic = RawTwoSectorImage();
    wrongMagic.back() = 0x3E;
    Bytes beyondFile = RawTwoSectorImage();
    beyondFile[beyondFile.size() - 12] += 1;  // TotalSize one more than the file
    struct Case {
        const char* name;
        Bytes bytes;
        std::string console;
    } cases[] = {
        {"empty file", {}, kUnrecognized},
        {"eleven bytes", Bytes(11, 0x34), kUnrecognized},
        {"wrong magic", wrongMagic, kUnrecognized},
        {"TotalSize beyond the file", beyondFile, std::string(kInvalidStructure) + kUnrecognized},
        {"TotalSize 13", Join({Bytes(20), EndRecord(13)}), std::string(kInvalidStructure) + kUnrecognized},
        {"TotalSize 0", EndRecord(0), std::string(kInvalidStructure) + kUnrecognized},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CDiskImage image;
        image.Allocate(kTwoSectors);
        const auto result = Read(image, c.bytes);
        EXPECT_FALSE(result.result);
        EXPECT_TRUE(SameBytes(c.console, result.console));
        EXPECT_FALSE(image.m_pData);  // released before validation
    }
}

TEST(ImageReader, RefusesDataThatDoesNotFitTheGeometry)
{
    const Bytes geometry = Record(RecordGeometry, GeometryContent(kTwoSectors));
    const Bytes huge = Record(RecordGeometry, GeometryContent({4096, 1024, 1024, 2, 2}));
    CDiskImage compressor;
    compressor.m_geometry = kTwoSectors;
    compressor.AdoptData(AllocateZeroedBytes(2000), 2000, false);
    {
        ConsoleCapture quiet;
        ASSERT_TRUE(compressor.CompressData(true));
    }
    const Bytes tooLong = Bytes(compressor.m_pData.get(), compressor.m_pData.get() + compressor.m_nSize);
    struct Case {
        const char* name;
        Bytes bytes;
        std::string console;
    } cases[] = {
        {"raw data too short", ImageOf({geometry, Record(RecordRawData, Bytes(1023))}), kReadOk},
        {"raw data too long", ImageOf({geometry, Record(RecordRawData, Bytes(1025))}), kReadOk},
        {"no geometry for the data", ImageOf({Record(RecordRawData, kTwoSectorData)}), kReadOk},
        {"geometry beyond 32 bits", ImageOf({huge, Record(RecordRawData, kTwoSectorData)}), kReadOk},
        {"expansion refused", ImageOf({geometry, Record(RecordCompressedData, tooLong)}),
         std::string(kReadOk) + "\nExpanding data...skipped"},
        {"expanded data too short", ImageOf({Record(RecordGeometry, GeometryContent({512, 1, 1, 4, 2})),
                                            Record(RecordCompressedData, tooLong)}),
         std::string(kReadOk) + "\nExpanding data...ok (0kb, 2kb, +"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CDiskImage image;
        const auto result = Read(image, c.bytes);
        EXPECT_FALSE(result.result);
        EXPECT_TRUE(result.console.starts_with(c.console)) << result.console;
    }
}

// A few megabytes whose geometry claims 4 GiB: nothing is allocated for it,
// not even the data record, longer than any floppy's data could be, while
// the largest standard floppy still reads.
TEST(ImageReader, RefusesAGeometryLargerThanAnyDiskBeforeExpanding)
{
    const DiskGeometry claimed{512, 64, 2, 65535, 2};
    const Bytes hostile = ImageOf({Record(RecordGeometry, GeometryContent(claimed)),
                                   Record(RecordCompressedData, Bytes(4200000))});
    CDiskImage image;
    const auto refused = Read(image, hostile);
    EXPECT_FALSE(refused.result);
    EXPECT_TRUE(SameBytes(kReadOk, refused.console));
    EXPECT_FALSE(image.m_pData);

    const DiskGeometry largest{512, 36, 2, 80, 3};
    const auto read =
        Read(image, ImageOf({Record(RecordGeometry, GeometryContent(largest)), Record(RecordRawData, Bytes(2949120))}));
    EXPECT_TRUE(read.result);
    EXPECT_TRUE(SameBytes(kReadOk, read.console));
}

namespace {

// Sets the image's cancel flag, as Ctrl-C does, once reading has begun.
class InterruptedFile : public CMemoryFile {
public:
    InterruptedFile(::Bytes bytes, CDiskImage& image) : CMemoryFile(std::move(bytes)), m_image(image) {}
    std::size_t Read(void* target, std::size_t size) override
    {
        if (++m_reads > 1)  // the first read is the trailer's
            m_image.m_bCancel = true;
        return CMemoryFile::Read(target, size);
    }

private:
    CDiskImage& m_image;
    int m_reads = 0;
};

}  // namespace

// A crafted file of endless empty records stops at Ctrl-C like a transfer.
TEST(ImageReader, CtrlCStopsTheReadingOfManyRecords)
{
    Bytes records = Record(RecordGeometry, GeometryContent(kTwoSectors));
    for (int i = 0; i < 200000; ++i)
        records.insert(records.end(), {RecordReservedFlag, 0, 0, 0, 0, 0});
    CDiskImage image;
    InterruptedFile file(ImageOf({records, Record(RecordRawData, kTwoSectorData)}), image);
    const auto result = ReadInto(image, file);
    EXPECT_FALSE(result.result);
    EXPECT_TRUE(SameBytes("\nReading image data...\nCancelling all tasks...", result.console));
}

TEST(ImageReader, ReadFailureIsAFalseResultWithoutMessage)
{
    const Bytes bytes = RawTwoSectorImage();
    // Below 12 bytes the trailer fails; beyond, one of the records does.
    for (std::size_t limit : {std::size_t{0}, std::size_t{11}, std::size_t{12}, std::size_t{20}, std::size_t{40},
                              std::size_t{500}, bytes.size() - 3}) {
        SCOPED_TRACE(limit);
        CMemoryFile file(bytes);
        file.m_nReadLimit = limit;
        CDiskImage image;
        const auto result = ReadInto(image, file);
        EXPECT_FALSE(result.result);
        EXPECT_TRUE(SameBytes(limit < 12 ? "" : "\nReading image data...", result.console));
    }
}
