#include <gtest/gtest.h>

#include <cstring>

#include "floppy/disk_image.h"
#include "tests/image/image_bytes.h"
#include "tests/support/console_capture.h"
#include "tests/support/memory_file.h"

namespace {

Bytes WriteImage(const DiskGeometry& geometry, const std::vector<std::uint32_t>& unreadable)
{
    CDiskImage image;
    EXPECT_TRUE(image.Allocate(geometry));
    image.m_unreadableSectors = unreadable;
    CMemoryFile file;
    ConsoleCapture quiet;
    EXPECT_TRUE(image.WriteToFile(file));
    return file.Bytes();
}

std::vector<std::uint32_t> ReadList(const Bytes& bytes)
{
    CDiskImage image;
    CMemoryFile file(bytes);
    ConsoleCapture quiet;
    EXPECT_TRUE(image.ReadFromFile(file));
    return image.m_unreadableSectors;
}

TEST(UnreadableSectors, RoundTripThroughTheImageFile)
{
    const std::uint32_t last = 80 * 2 * 18 - 1;
    for (const std::vector<std::uint32_t>& list :
         {std::vector<std::uint32_t>{0}, std::vector<std::uint32_t>{last}, std::vector<std::uint32_t>{0, 7, 100, 2000, last}}) {
        EXPECT_EQ(ReadList(WriteImage(kFloppy144, list)), list);
    }
}

TEST(UnreadableSectors, RecordSitsBetweenDataAndEndAndCountsInTheTotal)
{
    const Bytes clean = WriteImage(kFloppy144, {});
    const Bytes damaged = WriteImage(kFloppy144, {3, 0x01020304 % 2880});
    ASSERT_EQ(damaged.size(), clean.size() + 6 + 8);
    // Up to the data record's end the files agree; then comes type 40.
    const std::size_t dataEnd = clean.size() - 14;
    EXPECT_TRUE(SameBytes(Bytes(clean.begin(), clean.begin() + dataEnd), Bytes(damaged.begin(), damaged.begin() + dataEnd)));
    Bytes record;
    AppendU16(record, 40);
    AppendU32(record, 8);
    AppendU32(record, 3);
    AppendU32(record, 0x01020304 % 2880);
    EXPECT_TRUE(SameBytes(record, Bytes(damaged.begin() + dataEnd, damaged.begin() + dataEnd + 14)));
    const Bytes trailer(damaged.end() - 12, damaged.end() - 8);
    Bytes total;
    AppendU32(total, static_cast<std::uint32_t>(damaged.size()));
    EXPECT_EQ(trailer, total);
}

TEST(UnreadableSectors, ACleanDiskWritesNoRecord)
{
    const Bytes clean = WriteImage(kTwoSectors, {});
    ASSERT_GT(clean.size(), 53u);
    // Geometry (26) and flag (7) records, then the data record's length.
    const std::uint32_t dataLength = clean[35] | clean[36] << 8 | clean[37] << 16 | clean[38] << 24;
    EXPECT_EQ(clean.size(), dataLength + 53u);
}

TEST(UnreadableSectors, AListThatCannotBeTrustedWhollyIsIgnored)
{
    const Bytes data(1024, 0);
    auto imageWithList = [&](const Bytes& list) {
        return ImageOf({Record(RecordGeometry, GeometryContent(kTwoSectors)), Record(RecordRawData, data),
                        Record(40, list)});
    };
    auto entries = [](std::initializer_list<std::uint32_t> values) {
        Bytes bytes;
        for (std::uint32_t v : values)
            AppendU32(bytes, v);
        return bytes;
    };
    EXPECT_EQ(ReadList(imageWithList(entries({1}))), std::vector<std::uint32_t>{1});
    Bytes ragged = entries({0});
    ragged.push_back(0);
    for (const Bytes& bad : {ragged, entries({2}), entries({0, 5}), entries({1, 0}), entries({1, 1})})
        EXPECT_TRUE(ReadList(imageWithList(bad)).empty());
}

}  // namespace
