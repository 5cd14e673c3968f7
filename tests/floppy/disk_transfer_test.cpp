// Reading a disk into the image and writing the image onto a disk: what the
// two directions share is one group over the direction.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "floppy/disk_image.h"
#include "formats/media_types.h"
#include "tests/support/console_capture.h"
#include "tests/support/error_codes.h"
#include "tests/support/expected_text.h"
#include "tests/support/scripted_device.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr DiskGeometry k144{512, 18, 2, 80, 2};
constexpr DiskGeometry k720{512, 9, 2, 80, 5};
// Small enough to transfer quickly, with more than one head and cylinder.
constexpr DiskGeometry kSmall{512, 3, 2, 2, 5};

void Fill(CDiskImage& image, const DiskGeometry& geometry)
{
    ASSERT_TRUE(FillWithPattern(image, geometry, 7));
}

Printed<bool> Read(CDiskImage& image, CScriptedDevice& device)
{
    return RunPrinting([&] { return image.ReadFromDevice(device); });
}

Printed<bool> Write(CDiskImage& image, CScriptedDevice& device)
{
    return RunPrinting([&] { return image.WriteToDevice(device); });
}

struct Direction {
    const char* name;
    bool writes;
    const char* line;               // the line the transfer starts
    std::uint32_t (*wholeMediumError)();  // a failure of every transfer
};

// The source (the image when writing, the medium when reading) holds a
// pattern; the other side starts zeroed.
class DiskTransfer : public ::testing::TestWithParam<Direction> {
protected:
    CScriptedDevice& Insert(const DiskGeometry& geometry)
    {
        m_device = std::make_unique<CScriptedDevice>(geometry);
        if (Writes())
            Fill(m_image, geometry);
        else
            m_device->m_medium = PatternBytes(m_device->m_medium.size());
        return *m_device;
    }
    void Fail(int cylinder, int sector, int head, int times)
    {
        if (Writes())
            m_device->FailWrites(cylinder, sector, head, times, SectorErrorCode());
        else
            m_device->FailReads(cylinder, sector, head, times, SectorErrorCode());
    }
    Printed<bool> Run() { return Writes() ? Write(m_image, *m_device) : Read(m_image, *m_device); }

    bool Writes() const { return GetParam().writes; }
    const std::vector<CScriptedDevice::Place>& Transfers() const
    {
        return Writes() ? m_device->m_writes : m_device->m_reads;
    }
    std::string Started(std::uint32_t mediaType) const { return MediaQueried(mediaType) + GetParam().line; }
    Bytes ImageBytes() const { return Bytes(m_image.m_pData.get(), m_image.m_pData.get() + m_image.m_nSize); }
    // Sector `index` in linear order on the medium and in the image.
    Bytes OnMedium(std::size_t index) const
    {
        return Bytes(m_device->m_medium.begin() + index * 512, m_device->m_medium.begin() + (index + 1) * 512);
    }
    Bytes InImage(std::size_t index) const
    {
        return Bytes(m_image.m_pData.get() + index * 512, m_image.m_pData.get() + (index + 1) * 512);
    }

    CDiskImage m_image;
    std::unique_ptr<CScriptedDevice> m_device;
};

TEST_P(DiskTransfer, MovesEverySectorInOrder)
{
    Insert(k144);
    const auto run = Run();

    EXPECT_TRUE(run.result);
    EXPECT_EQ(run.console, Started(2));
    ASSERT_EQ(Transfers().size(), 2880u);
    // (cylinder, sector, head): sectors innermost, then heads, then cylinders.
    EXPECT_EQ(Transfers()[0], CScriptedDevice::Place(1, 1, 1));
    EXPECT_EQ(Transfers()[17], CScriptedDevice::Place(1, 18, 1));
    EXPECT_EQ(Transfers()[18], CScriptedDevice::Place(1, 1, 2));
    EXPECT_EQ(Transfers()[36], CScriptedDevice::Place(2, 1, 1));
    EXPECT_EQ(m_image.m_nSize, 1474560u);
    EXPECT_TRUE(SameBytes(m_device->m_medium, ImageBytes()));
    EXPECT_FALSE(m_image.m_bCompressed);
    EXPECT_TRUE(m_image.m_skippedSectors.empty());
}

TEST_P(DiskTransfer, RetriesOnceAndReportsFixedAndSkippedSectors)
{
    Insert(kSmall);
    Fail(1, 3, 2, 1);   // linear 5: fails once, then moves
    Fail(2, 2, 1, -1);  // linear 7: never moves
    const auto run = Run();

    EXPECT_TRUE(run.result);
    EXPECT_EQ(run.console, Started(5) + "\nFixed cyl 1, sect 3, head 2." + ErrorLine(SectorErrorCode()) +
                               "\nSkipping cyl 2, sect 2, head 1.");
    EXPECT_EQ(Transfers().size(), 12u + 2u);
    EXPECT_EQ(m_image.m_skippedSectors, std::vector<std::uint32_t>{7});
    EXPECT_EQ(OnMedium(5), InImage(5));
    // The skipped sector holds zeros where it was bound, not what a failed
    // transfer left there.
    EXPECT_EQ(Writes() ? OnMedium(7) : InImage(7), Bytes(512));
}

TEST_P(DiskTransfer, FailsWhenNoSectorMoves)
{
    Insert({512, 2, 1, 1, 5});
    Fail(1, 1, 1, -1);
    Fail(1, 2, 1, -1);
    const auto run = Run();

    EXPECT_FALSE(run.result);
    const std::string error = ErrorLine(SectorErrorCode());
    EXPECT_EQ(run.console, Started(5) + error + "\nSkipping cyl 1, sect 1, head 1." + error +
                               "\nSkipping cyl 1, sect 2, head 1.");
    EXPECT_EQ(Transfers().size(), 4u);
}

// A missing or write-protected medium is reported once, not for every sector.
TEST_P(DiskTransfer, AWholeMediumFailureEndsTheTransferAtOnce)
{
    const std::uint32_t error = GetParam().wholeMediumError();
    Insert(kSmall).FailAllTransfers(error);
    const auto run = Run();

    EXPECT_FALSE(run.result);
    EXPECT_EQ(run.console, Started(5) + ErrorLine(error) + "\nSkipping cyl 1, sect 1, head 1.");
    EXPECT_EQ(Transfers().size(), 1u);
}

TEST_P(DiskTransfer, CancelStopsAfterTheCurrentSectorButAnEarlierFlagIsCleared)
{
    Insert(kSmall);
    m_image.m_bCancel = true;  // set before the transfer: cleared at its start
    int transfers = 0;
    m_device->m_onTransfer = [&] {
        if (++transfers == 4)
            m_image.m_bCancel = true;
    };
    const auto run = Run();

    EXPECT_FALSE(run.result);
    EXPECT_EQ(run.console, Started(5) + "\nCancelling all tasks...");
    EXPECT_EQ(Transfers().size(), 4u);
}

INSTANTIATE_TEST_SUITE_P(BothDirections, DiskTransfer,
                         ::testing::Values(Direction{"Read", false, "\nReading data...", NoMediumErrorCode},
                                           Direction{"Write", true, "\nWriting data...", WriteProtectedErrorCode}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DiskReader, AFailingMediaQueryLeavesTheImageAlone)
{
    CScriptedDevice device(kSmall);
    device.FailGeometry(NoMediumErrorCode());
    CDiskImage image;
    ASSERT_TRUE(image.Allocate({512, 9, 2, 40, 6}));
    const auto run = Read(image, device);

    EXPECT_FALSE(run.result);
    EXPECT_EQ(run.console, "\nQuerying media information...failed" + ErrorLine(NoMediumErrorCode()));
    EXPECT_EQ(image.m_nSize, 368640u);
    EXPECT_TRUE(device.m_reads.empty());
}

TEST(DiskReader, AGeometryWithoutSectorsReadsNothing)
{
    for (DiskGeometry g : {DiskGeometry{512, 0, 2, 80, 0}, DiskGeometry{512, 18, 0, 80, 0}, DiskGeometry{512, 18, 2, 0, 0}}) {
        CScriptedDevice device(g);
        CDiskImage image;
        const auto run = Read(image, device);
        EXPECT_FALSE(run.result);
        EXPECT_EQ(run.console, "\nQuerying media information...ok\nInserted media: Format is unknown.\nReading data...");
        EXPECT_TRUE(device.m_reads.empty());
    }
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
        EXPECT_EQ(run.console, MediaQueried(c.inserted.MediaType) + "\nRequired media is: " +
                                   DescribeMediaType(c.image.MediaType) + "\nERROR: Inserted media is not compatible.");
        EXPECT_TRUE(device.m_writes.empty());
    }
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

}  // namespace
