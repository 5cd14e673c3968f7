#include "formats/declared_layout.h"

#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

#include "tests/support/error_codes.h"
#include "tests/support/scripted_device.h"

namespace {

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
