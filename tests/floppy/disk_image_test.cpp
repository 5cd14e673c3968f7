#include "floppy/disk_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "floppy/disk_device.h"
#include "floppy/identity_sample.h"
#include "formats/media_types.h"
#include "tests/support/scripted_device.h"

namespace {

constexpr DiskGeometry k144{512, 18, 2, 80, 2};
constexpr DiskGeometry k360{512, 9, 2, 40, 6};

TEST(DiskImage, AllocateGivesAZeroFilledBufferOfTheRawSize)
{
    CDiskImage image;
    ASSERT_TRUE(image.Allocate(k144));
    EXPECT_EQ(image.m_nSize, 1474560u);
    EXPECT_FALSE(image.m_bCompressed);
    EXPECT_TRUE(std::all_of(image.m_pData.get(), image.m_pData.get() + image.m_nSize, [](auto b) { return b == 0; }));
    ASSERT_TRUE(image.Allocate(k360));
    EXPECT_EQ(image.m_nSize, 368640u);
    EXPECT_EQ(image.m_geometry, k360);
}

TEST(DiskImage, ZeroCountsAllocateAnEmptyBuffer)
{
    for (DiskGeometry g : {DiskGeometry{512, 18, 2, 0, 2}, DiskGeometry{512, 0, 2, 80, 2}, DiskGeometry{0, 18, 2, 80, 2}}) {
        CDiskImage image;
        EXPECT_TRUE(image.Allocate(g));
        EXPECT_EQ(image.m_nSize, 0u);
    }
}

TEST(DiskImage, SizeBeyond32BitsIsRefusedWithTheGeometryKept)
{
    const DiskGeometry huge{4096, 1024, 1024, 2, 0};  // 8 GiB
    const DiskGeometry wraps{65536, 65536, 65536, 65536, 0};  // 2^64 wraps to 0 in 64 bits
    for (DiskGeometry g : {huge, wraps}) {
        CDiskImage image;
        ASSERT_TRUE(image.Allocate(k360));
        EXPECT_FALSE(image.Allocate(g));
        EXPECT_FALSE(image.m_pData);
        EXPECT_EQ(image.m_nSize, 0u);
        EXPECT_EQ(image.m_geometry, g);
    }
}

TEST(DiskImage, SectorAddressFollowsTheLinearOrder)
{
    CDiskImage image;
    EXPECT_EQ(image.SectorAddress({1, 1, 1}), nullptr);  // empty
    ASSERT_TRUE(image.Allocate(k144));
    std::uint8_t* start = image.m_pData.get();
    EXPECT_EQ(image.SectorAddress({1, 1, 1}), start);
    EXPECT_EQ(image.SectorAddress({1, 2, 1}), start + 9216);
    EXPECT_EQ(image.SectorAddress({2, 1, 1}), start + 18432);
    EXPECT_EQ(image.SectorAddress({80, 2, 18}), start + 1474048);
    image.m_bCompressed = true;
    EXPECT_EQ(image.SectorAddress({1, 1, 1}), nullptr);
}

TEST(DiskImage, FreeKeepsTheGeometry)
{
    CDiskImage image;
    ASSERT_TRUE(image.Allocate(k144));
    image.m_bCompressed = true;
    EXPECT_TRUE(image.Free());
    EXPECT_FALSE(image.m_pData);
    EXPECT_EQ(image.m_nSize, 0u);
    EXPECT_FALSE(image.m_bCompressed);
    EXPECT_EQ(image.m_geometry, k144);
}

TEST(MediaType, DescribesEveryCodeAndRefusesTheRest)
{
    EXPECT_EQ(DescribeMediaType(0), "Format is unknown.");
    EXPECT_EQ(DescribeMediaType(1), "5.25\" floppy, 1.2MB and 512 bytes/sector.");
    EXPECT_EQ(DescribeMediaType(2), "3.5\" floppy, 1.44MB and 512 bytes/sector.");
    EXPECT_EQ(DescribeMediaType(8), "5.25\" floppy, 320KB and 1024 bytes/sector.");
    EXPECT_EQ(DescribeMediaType(11), "Removable media other than floppy.");
    EXPECT_EQ(DescribeMediaType(12), "Fixed hard disk media.");
    EXPECT_EQ(DescribeMediaType(19), "5.25\" floppy, 1.23MB and 1024 bytes/sector.");
    EXPECT_EQ(DescribeMediaType(22), "An 8\" floppy, 256KB and 128 bytes/sector.");
    EXPECT_EQ(DescribeMediaType(23), "Format is unknown.");
    EXPECT_EQ(DescribeMediaType(0xFFFFFFFFu), "Format is unknown.");
    for (std::uint32_t code = 1; code <= 22; ++code)
        EXPECT_NE(DescribeMediaType(code), "Format is unknown.") << code;
}

TEST(SectorOffset, LastSectorOfA144Disk)
{
    EXPECT_EQ(SectorOffset(k144, {1, 1, 1}), 0u);
    EXPECT_EQ(SectorOffset(k144, {80, 2, 18}), 1474048u);
    // The place of a linear index is where its offset points.
    for (const std::uint64_t index : {0ull, 17ull, 18ull, 36ull, 2879ull}) {
        const SectorPlace place = PlaceOf(k144, index);
        EXPECT_EQ(SectorOffset(k144, place), index * 512) << index;
    }
    const SectorPlace last = PlaceOf(k144, 2879);
    EXPECT_EQ(std::vector<std::uint32_t>({last.cylinder, last.head, last.sector}),
              std::vector<std::uint32_t>({80, 2, 18}));
}

// A disk with one lost track (cylinder 40, head 1), half of it formatted but
// empty: what a rescue compares before it trusts the inserted disk.
TEST(IdentitySample, NeighbouringCylindersAndSectorsSpreadOverTheDiskThatAreNotBlank)
{
    std::vector<std::uint8_t> data = PatternBytes(1474560);
    const auto blank = [&](std::uint32_t index) { return data[std::size_t{index} * 512] == 0xF6; };
    for (std::uint32_t index = 0; index < 2880; index += 2)
        std::fill_n(data.begin() + index * 512, 512, 0xF6);
    std::vector<std::uint32_t> listed;
    for (std::uint32_t index = 39 * 36; index < 39 * 36 + 18; ++index)
        listed.push_back(index);

    const std::vector<std::uint32_t> sample = IdentitySample(k144, data.data(), listed);
    EXPECT_TRUE(std::is_sorted(sample.begin(), sample.end()));
    for (const std::uint32_t index : sample) {
        EXPECT_FALSE(blank(index)) << index;
        EXPECT_FALSE(std::binary_search(listed.begin(), listed.end(), index)) << index;
    }
    // Every sector with data on cylinders 39 to 41 (0-based 38 to 40).
    for (std::uint32_t index = 38 * 36; index < 41 * 36; ++index) {
        const bool taken = std::binary_search(sample.begin(), sample.end(), index);
        EXPECT_EQ(taken, !blank(index) && !std::binary_search(listed.begin(), listed.end(), index)) << index;
    }
    // And 32 more over the whole disk, from its first eighth to its last.
    const auto far = std::count_if(sample.begin(), sample.end(), [](auto index) { return index / 36 < 38 || index / 36 > 40; });
    EXPECT_GE(far, 28);
    EXPECT_LT(sample.front(), 2880u / 8);
    EXPECT_GT(sample.back(), 2880u * 7 / 8);

    // A blank disk: only its first good sector can be compared.
    std::fill(data.begin(), data.end(), 0xF6);
    EXPECT_EQ(IdentitySample(k144, data.data(), {0, 1, 5}), std::vector<std::uint32_t>{2});
}

}  // namespace
