#include <gtest/gtest.h>

#include <cstring>

#include "floppy/disk_image.h"
#include "formats/media_types.h"
#include "tests/support/console_capture.h"
#include "tests/support/error_codes.h"
#include "tests/support/expected_text.h"
#include "tests/support/scripted_device.h"

namespace {

constexpr DiskGeometry k144{512, 18, 2, 80, 2};
constexpr DiskGeometry k720{512, 9, 2, 80, 5};
constexpr DiskGeometry kSmall{512, 3, 2, 2, 5};

std::string Header(std::uint32_t mediaType)
{
    return "\nQuerying media information...ok\nInserted media: " + DescribeMediaType(mediaType);
}

// An image holding a recognisable pattern, as the image reader leaves it.
void Fill(CDiskImage& image, const DiskGeometry& geometry)
{
    ASSERT_TRUE(image.Allocate(geometry));
    const auto pattern = PatternBytes(image.m_nSize, 7);
    std::memcpy(image.m_pData.get(), pattern.data(), pattern.size());
}

Printed<bool> Write(CDiskImage& image, CScriptedDevice& device)
{
    return RunPrinting([&] { return image.WriteToDevice(device); });
}

TEST(DiskWriter, WritesEverySectorOntoACompatibleDisk)
{
    CDiskImage image;
    Fill(image, k144);
    CScriptedDevice device(k144);
    const auto run = Write(image, device);

    EXPECT_TRUE(run.result);
    EXPECT_EQ(run.console, Header(2) + "\nWriting data...");
    EXPECT_EQ(device.m_writes.size(), 2880u);
    EXPECT_EQ(device.m_writes[18], CScriptedDevice::Place(1, 1, 2));
    EXPECT_TRUE(SameBytes(std::vector<std::uint8_t>(image.m_pData.get(), image.m_pData.get() + image.m_nSize), device.m_medium));
    EXPECT_FALSE(image.m_bCompressed);
    EXPECT_EQ(image.m_nSize, 1474560u);
}

TEST(DiskWriter, RefusesADiskOfAnotherGeometryWithoutWriting)
{
    struct Case {
        DiskGeometry image, inserted;
    };
    const DiskGeometry more{512, 18, 2, 81, 2};  // same media type, one more cylinder
    for (const Case& c : {Case{k144, k720}, Case{k144, more}}) {
        CDiskImage image;
        Fill(image, c.image);
        CScriptedDevice device(c.inserted);
        const auto run = Write(image, device);
        EXPECT_FALSE(run.result);
        EXPECT_EQ(run.console, Header(c.inserted.MediaType) + "\nRequired media is: " +
                                   DescribeMediaType(c.image.MediaType) + "\nERROR: Inserted media is not compatible.");
        EXPECT_TRUE(device.m_writes.empty());
    }
}

TEST(DiskWriter, RetriesOnceAndReportsFixedAndSkippedSectors)
{
    CDiskImage image;
    Fill(image, kSmall);
    CScriptedDevice device(kSmall);
    device.FailWrites(1, 2, 1, 1, SectorErrorCode());
    device.FailWrites(2, 3, 2, -1, SectorErrorCode());
    const auto run = Write(image, device);

    EXPECT_TRUE(run.result);
    EXPECT_EQ(run.console, Header(5) + "\nWriting data...\nFixed cyl 1, sect 2, head 1." + ErrorLine(SectorErrorCode()) +
                               "\nSkipping cyl 2, sect 3, head 2.");
    EXPECT_EQ(device.m_writes.size(), 14u);
    EXPECT_EQ(image.m_skippedSectors, std::vector<std::uint32_t>{11});
}

TEST(DiskWriter, AWriteProtectedDiskIsReportedOnceAndFails)
{
    CDiskImage image;
    Fill(image, k144);
    CScriptedDevice device(k144);
    device.FailAllTransfers(WriteProtectedErrorCode());
    const auto run = Write(image, device);

    EXPECT_FALSE(run.result);
    EXPECT_EQ(run.console,
              Header(2) + "\nWriting data..." + ErrorLine(WriteProtectedErrorCode()) + "\nSkipping cyl 1, sect 1, head 1.");
    EXPECT_EQ(device.m_writes.size(), 1u);
}

TEST(DiskWriter, FailsWhenEverySectorFails)
{
    CDiskImage image;
    Fill(image, {512, 1, 1, 2, 5});
    CScriptedDevice device({512, 1, 1, 2, 5});
    device.FailWrites(1, 1, 1, -1, SectorErrorCode());
    device.FailWrites(2, 1, 1, -1, SectorErrorCode());
    const auto run = Write(image, device);
    EXPECT_FALSE(run.result);
    EXPECT_EQ(device.m_writes.size(), 4u);
}

TEST(DiskWriter, RefusesAnImageThatDoesNotHoldTheWholeRawDisk)
{
    CDiskImage compressed;
    Fill(compressed, kSmall);
    compressed.m_bCompressed = true;
    CDiskImage empty;
    empty.m_geometry = kSmall;
    CDiskImage shorter;
    Fill(shorter, kSmall);
    shorter.m_nSize -= 1;
    for (CDiskImage* image : {&compressed, &empty, &shorter}) {
        CScriptedDevice device(kSmall);
        const auto run = Write(*image, device);
        EXPECT_FALSE(run.result);
        EXPECT_EQ(run.console, "");
        EXPECT_TRUE(device.m_writes.empty());
    }
}

TEST(DiskWriter, CancelStopsAfterTheCurrentSector)
{
    CDiskImage image;
    Fill(image, kSmall);
    CScriptedDevice device(kSmall);
    int transfers = 0;
    device.m_onTransfer = [&] {
        if (++transfers == 5)
            image.m_bCancel = true;
    };
    const auto run = Write(image, device);
    EXPECT_FALSE(run.result);
    EXPECT_EQ(run.console, Header(5) + "\nWriting data...\nCancelling all tasks...");
    EXPECT_EQ(device.m_writes.size(), 5u);
}

}  // namespace
