#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "floppy/disk_image.h"
#include "formats/declared_layout.h"
#include "formats/media_types.h"
#include "tests/support/console_capture.h"
#include "tests/support/error_codes.h"
#include "tests/support/expected_text.h"
#include "tests/support/scripted_device.h"

namespace {

// Small enough to read quickly, with more than one head and cylinder.
constexpr DiskGeometry kSmall{512, 3, 2, 2, 5};

const std::string kHeader = "\nQuerying media information...ok\nInserted media: " + DescribeMediaType(5) +
                            "\nReading data...";

Printed<bool> Read(CDiskImage& image, CScriptedDevice& device)
{
    return RunPrinting([&] { return image.ReadFromDevice(device); });
}

TEST(DiskReader, ReadsEverySectorInOrderIntoTheBuffer)
{
    CScriptedDevice device({512, 18, 2, 80, 2});
    device.m_medium = PatternBytes(device.m_medium.size());
    CDiskImage image;
    const auto run = Read(image, device);

    EXPECT_TRUE(run.result);
    EXPECT_EQ(run.console, "\nQuerying media information...ok\nInserted media: " + DescribeMediaType(2) +
                               "\nReading data...");
    ASSERT_EQ(device.m_reads.size(), 2880u);
    // (cylinder, sector, head): sectors innermost, then heads, then cylinders.
    EXPECT_EQ(device.m_reads[0], CScriptedDevice::Place(1, 1, 1));
    EXPECT_EQ(device.m_reads[17], CScriptedDevice::Place(1, 18, 1));
    EXPECT_EQ(device.m_reads[18], CScriptedDevice::Place(1, 1, 2));
    EXPECT_EQ(device.m_reads[36], CScriptedDevice::Place(2, 1, 1));
    ASSERT_EQ(image.m_nSize, device.m_medium.size());
    EXPECT_TRUE(SameBytes(device.m_medium, std::vector<std::uint8_t>(image.m_pData.get(), image.m_pData.get() + image.m_nSize)));
    EXPECT_TRUE(image.m_skippedSectors.empty());
}

TEST(DiskReader, RetriesOnceAndReportsFixedAndSkippedSectors)
{
    CScriptedDevice device(kSmall);
    device.m_medium = PatternBytes(device.m_medium.size());
    device.FailReads(1, 3, 2, 1, SectorErrorCode());   // fails once, then reads
    device.FailReads(2, 2, 1, -1, SectorErrorCode());  // never reads
    CDiskImage image;
    const auto run = Read(image, device);

    EXPECT_TRUE(run.result);
    EXPECT_EQ(run.console, kHeader + "\nFixed cyl 1, sect 3, head 2." + ErrorLine(SectorErrorCode()) +
                               "\nSkipping cyl 2, sect 2, head 1.");
    EXPECT_EQ(device.m_reads.size(), 12u + 2u);
    // The skipped sector holds zeros, not what the failed read left there.
    const std::uint8_t* skipped = image.SectorAddress({2, 1, 2});
    EXPECT_TRUE(std::all_of(skipped, skipped + 512, [](auto b) { return b == 0; }));
    // The fixed sector holds the medium's bytes.
    EXPECT_EQ(std::memcmp(image.SectorAddress({1, 2, 3}), device.m_medium.data() + SectorOffset(kSmall, {1, 2, 3}), 512), 0);
    EXPECT_EQ(image.m_skippedSectors, std::vector<std::uint32_t>{7});
}

TEST(DiskReader, FailsWhenNoSectorCouldBeRead)
{
    CScriptedDevice device({512, 2, 1, 1, 5});
    device.FailReads(1, 1, 1, -1, SectorErrorCode());
    device.FailReads(1, 2, 1, -1, SectorErrorCode());
    CDiskImage image;
    const auto run = Read(image, device);

    EXPECT_FALSE(run.result);
    const std::string error = ErrorLine(SectorErrorCode());
    EXPECT_EQ(run.console, kHeader + error +
                               "\nSkipping cyl 1, sect 1, head 1." + error + "\nSkipping cyl 1, sect 2, head 1.");
    EXPECT_EQ(device.m_reads.size(), 4u);
}

TEST(DiskReader, AWholeMediumFailureEndsTheReadAtOnce)
{
    CScriptedDevice device(kSmall);
    device.FailAllTransfers(NoMediumErrorCode());
    CDiskImage image;
    const auto run = Read(image, device);

    EXPECT_FALSE(run.result);
    EXPECT_EQ(run.console, kHeader + ErrorLine(NoMediumErrorCode()) + "\nSkipping cyl 1, sect 1, head 1.");
    EXPECT_EQ(device.m_reads.size(), 1u);
}

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

TEST(DiskReader, CancelStopsAfterTheCurrentSectorButAnEarlierFlagIsCleared)
{
    CScriptedDevice device(kSmall);
    CDiskImage image;
    image.m_bCancel = true;  // set before the read: cleared at its start
    int transfers = 0;
    device.m_onTransfer = [&] {
        if (++transfers == 4)
            image.m_bCancel = true;
    };
    const auto run = Read(image, device);

    EXPECT_FALSE(run.result);
    EXPECT_EQ(run.console, kHeader + "\nCancelling all tasks...");
    EXPECT_EQ(device.m_reads.size(), 4u);
}

// A drive that takes every disk for a 1.44 MB one, as the floppy driver takes
// a DMF disk: the boot sector's parameter block decides the layout.
class DeclaredLayouts : public ::testing::Test {
protected:
    static constexpr DiskGeometry k144{512, 18, 2, 80, 2};

    // A medium of `cylinders` x 2 x `sectors` whose boot sector declares that.
    void Insert(std::uint32_t sectors, std::uint32_t cylinders)
    {
        m_device.m_medium = PatternBytes(std::size_t{512} * sectors * 2 * cylinders);
        const std::uint32_t total = sectors * 2 * cylinders;
        const std::uint8_t boot[] = {0xEB, 0x3C, 0x90};
        std::memcpy(m_device.m_medium.data(), boot, sizeof boot);
        const std::pair<std::size_t, std::uint32_t> fields[] = {{11, 512}, {19, total}, {24, sectors}, {26, 2}};
        for (const auto& [offset, value] : fields) {
            m_device.m_medium[offset] = static_cast<std::uint8_t>(value);
            m_device.m_medium[offset + 1] = static_cast<std::uint8_t>(value >> 8);
        }
    }

    LayoutChoice Choose()
    {
        m_layout = k144;
        m_layout.MediaType = 0;
        const LayoutAccess access{
            [&](const DiskGeometry& under, const SectorPlace& place, std::uint8_t* bytes) {
                return m_device.ReadSector(under, bytes, static_cast<std::uint16_t>(place.cylinder),
                                           static_cast<std::uint16_t>(place.sector),
                                           static_cast<std::uint16_t>(place.head));
            },
            [&](const DiskGeometry& layout) {
                m_set.push_back(layout);
                return true;
            },
            [&] { ++m_cleared; },
        };
        return ChooseLayout(access, m_layout);
    }

    CScriptedDevice m_device{k144};
    DiskGeometry m_layout;
    std::vector<DiskGeometry> m_set;
    int m_cleared = 0;
};

TEST_F(DeclaredLayouts, AStandardLargerLayoutIsSetAndReadWhole)
{
    for (const std::uint32_t cylinders : {80u, 82u, 83u}) {
        Insert(21, cylinders);
        m_set.clear();
        EXPECT_EQ(Choose(), LayoutChoice::Declared) << cylinders;
        const DiskGeometry declared{512, 21, 2, cylinders, 0};
        EXPECT_EQ(m_layout, declared);
        ASSERT_EQ(m_set.size(), 1u);
        EXPECT_TRUE(SameLayout(m_set[0], declared));
        // Checked at the end of track 0 and of the last cylinder.
        EXPECT_EQ(m_device.m_reads.back(), CScriptedDevice::Place(static_cast<int>(cylinders), 21, 2));
    }
    EXPECT_EQ(m_cleared, 0);
}

TEST_F(DeclaredLayouts, AnUnlistedLargerLayoutIsRefusedNotTruncated)
{
    Insert(23, 80);
    EXPECT_EQ(Choose(), LayoutChoice::Refused);
    EXPECT_TRUE(m_set.empty());
}

TEST_F(DeclaredLayouts, ALayoutWhoseLastSectorDoesNotReadFallsBackToTheDrivers)
{
    Insert(21, 80);
    m_device.FailReads(80, 21, 2, -1, SectorErrorCode());
    EXPECT_EQ(Choose(), LayoutChoice::Drivers);
    EXPECT_EQ(m_layout, (DiskGeometry{512, 18, 2, 80, 0}));
    EXPECT_EQ(m_set.size(), 1u);
    EXPECT_EQ(m_cleared, 1);
}

TEST_F(DeclaredLayouts, NoBootSectorAnAgreeingOneOrAnUnreadableOneChangeNothing)
{
    m_device.m_medium = PatternBytes(m_device.m_medium.size());
    EXPECT_EQ(Choose(), LayoutChoice::Drivers);
    Insert(18, 80);
    EXPECT_EQ(Choose(), LayoutChoice::Drivers);
    Insert(21, 80);
    m_device.FailReads(1, 1, 1, -1, SectorErrorCode());
    EXPECT_EQ(Choose(), LayoutChoice::Drivers);
    EXPECT_EQ(m_layout, (DiskGeometry{512, 18, 2, 80, 0}));
    EXPECT_TRUE(m_set.empty());
}

}  // namespace
