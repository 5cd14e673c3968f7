#include <gtest/gtest.h>

#include "tests/image/image_bytes.h"
#include "tests/support/console_capture.h"
#include "tests/support/memory_file.h"

TEST(ImageRecords, WriteRecordAndEndRecordLayout)
{
    CMemoryFile file;
    const std::uint8_t content[3] = {0xAA, 0xBB, 0xCC};
    EXPECT_EQ(WriteRecord(file, 0x1234, 3, content), 9u);
    EXPECT_EQ(WriteRecord(file, RecordRawData, 0, nullptr), 6u);
    ImageTrailer trailer{0x01020304, 2, 1, kImageMagic};
    EXPECT_EQ(WriteEndRecord(file, trailer), 14u);
    const Bytes expected = {0x34, 0x12, 3, 0, 0, 0, 0xAA, 0xBB, 0xCC,                          // type, length 3
                            0x0C, 0x00, 0, 0, 0, 0,                                         // empty record
                            0x01, 0x00, 0x04, 0x03, 0x02, 0x01, 0x02, 0x00, 0x01, 0x00,     // end, trailer
                            0x34, 0x2A, 0x5B, 0x3D};
    EXPECT_TRUE(SameBytes(expected, file.Bytes()));
}

TEST(ImageRecords, EndRecordConsumesOnlyItsType)
{
    CMemoryFile file(EndRecord(14));
    std::uint16_t type = 0;
    std::uint32_t length = 99;
    EXPECT_FALSE(ReadRecordHeader(file, type, length));
    EXPECT_EQ(type, RecordEnd);
    EXPECT_EQ(file.Seek(0, platform::SeekOrigin::Current), 2u);
}

TEST(ImageRecords, CompleteRecordsLeaveTheFileAtTheirContent)
{
    const Bytes payload = {1, 2, 3, 4, 5};
    for (const Bytes& content : {payload, Bytes{}}) {
        CMemoryFile file(Join({Record(77, content), EndRecord(14)}));
        std::uint16_t type = 0;
        std::uint32_t length = 0;
        EXPECT_TRUE(ReadRecordHeader(file, type, length));
        EXPECT_EQ(type, 77);
        EXPECT_EQ(length, content.size());
        EXPECT_EQ(file.Seek(0, platform::SeekOrigin::Current), 6u);
    }
}

TEST(ImageRecords, IncompleteRecordsAreRefused)
{
    Bytes hugeLength;
    AppendU16(hugeLength, RecordCompressedData);
    AppendU32(hugeLength, 0xFFFFFFF0);
    hugeLength.resize(40);
    Bytes oneShort = Record(RecordGeometry, GeometryContent(kFloppy144));
    oneShort.pop_back();
    struct Case {
        const char* name;
        Bytes bytes;
        std::uint64_t positionAfter;  // the content of a too-long record is not read
    } cases[] = {
        {"type cut short", {0x0A}, 1},
        {"length cut short", {0x0A, 0x00, 0x14, 0x00}, 4},
        {"content cut short", oneShort, 6},
        {"length beyond the file", hugeLength, 6},
        {"length one beyond the file", Bytes{0x0C, 0, 3, 0, 0, 0, 7, 7}, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CMemoryFile file(c.bytes);
        std::uint16_t type = 0;
        std::uint32_t length = 0;
        EXPECT_FALSE(ReadRecordHeader(file, type, length));
        EXPECT_EQ(file.Seek(0, platform::SeekOrigin::Current), c.positionAfter);
    }
}

TEST(ImageRecords, TrailerIsTheLastTwelveBytes)
{
    for (std::size_t size : {0u, 1u, 11u}) {
        CMemoryFile file(Bytes(size, 0xFF));
        const ImageTrailer trailer = ReadTrailer(file);
        EXPECT_EQ(trailer.TotalSize, 0u);
        EXPECT_EQ(trailer.VersionMajor, 0u);
        EXPECT_EQ(trailer.VersionMinor, 0u);
        EXPECT_EQ(trailer.Magic, 0u) << size;
    }
    CMemoryFile file(Join({Bytes(5, 0xEE), EndRecord(0x00ABCDEF, 0x0302, 0x0504)}));
    const ImageTrailer trailer = ReadTrailer(file);
    EXPECT_EQ(trailer.TotalSize, 0x00ABCDEFu);
    EXPECT_EQ(trailer.VersionMajor, 0x0302u);
    EXPECT_EQ(trailer.VersionMinor, 0x0504u);
    EXPECT_EQ(trailer.Magic, kImageMagic);
    const Bytes tail(file.Bytes().end() - 4, file.Bytes().end());
    EXPECT_EQ(std::string(tail.begin(), tail.end()), "4*[=");
}

TEST(MemoryFile, SimulatesSeeksAndFailingMedia)
{
    CMemoryFile file(Bytes{1, 2, 3, 4});
    EXPECT_THROW(file.Seek(-5, platform::SeekOrigin::End), ImageFileError);
    EXPECT_EQ(file.Seek(10, platform::SeekOrigin::Begin), 10u);
    std::uint8_t byte = 0;
    EXPECT_EQ(file.Read(&byte, 1), 0u);  // past the end reads nothing, without failing

    file.Seek(0, platform::SeekOrigin::Begin);
    file.m_nReadLimit = 3;
    std::uint8_t bytes[4] = {};
    EXPECT_EQ(file.Read(bytes, 2), 2u);
    EXPECT_THROW(file.Read(bytes, 2), ImageFileError);

    CMemoryFile full;
    full.m_nWriteLimit = 5;
    full.Write(bytes, 4);
    EXPECT_THROW(full.Write(bytes, 2), ImageFileError);
    EXPECT_EQ(full.GetLength(), 4u);
}
