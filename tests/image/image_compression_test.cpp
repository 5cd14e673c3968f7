#include <gtest/gtest.h>

#include <cstring>

#include "floppy/disk_image.h"
#include "tests/image/image_bytes.h"
#include "tests/support/console_capture.h"

namespace {

void Fill(CDiskImage& image, const DiskGeometry& geometry, const Bytes& data, bool compressed = false)
{
    image.m_geometry = geometry;
    ByteBuffer buffer = AllocateBytes(data.size());
    if (!data.empty())
        std::memcpy(buffer.get(), data.data(), data.size());
    image.AdoptData(std::move(buffer), static_cast<std::uint32_t>(data.size()), compressed);
}

Bytes DataOf(const CDiskImage& image)
{
    return Bytes(image.m_pData.get(), image.m_pData.get() + image.m_nSize);
}

// A compressed image of `data`, made by the compression under test.
void FillCompressed(CDiskImage& image, const DiskGeometry& geometry, const Bytes& data)
{
    Fill(image, geometry, data);
    ConsoleCapture quiet;
    ASSERT_TRUE(image.CompressData(true));
}

}  // namespace

TEST(ImageCompression, ReportsTruncatedSizesAndSignedChange)
{
    Bytes balanced = NoiseBytes(2000);  // plus zeros, this compresses to its own length
    balanced.resize(2058);
    struct Case {
        const char* name;
        Bytes data;
        const char* console;
    } cases[] = {
        {"1.44 MB of zeros", Bytes(1474560), "\nCompressing data...ok (1474kb, 1kb, -99.90%)"},
        {"1,999 bytes", Bytes(1999), "\nCompressing data...ok (1kb, 0kb, -98.85%)"},
        {"999 bytes", Bytes(999), "\nCompressing data...ok (0kb, 0kb, -98.30%)"},
        {"unchanged length", balanced, "\nCompressing data...ok (2kb, 2kb, +0.00%)"},
        {"empty", Bytes(), "\nCompressing data...ok (0kb, 0kb, +0.00%)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CDiskImage image;
        Fill(image, kFloppy144, c.data);
        ConsoleCapture console;
        EXPECT_TRUE(image.CompressData(true));
        EXPECT_TRUE(SameBytes(c.console, console.Text()));
        EXPECT_TRUE(image.m_bCompressed);
    }
}

TEST(ImageCompression, ExpandsBackToTheSameData)
{
    CDiskImage image;
    FillCompressed(image, kFloppy144, Bytes(1474560));
    EXPECT_EQ(image.m_nSize, 1452u);
    ConsoleCapture console;
    EXPECT_TRUE(image.CompressData(false));
    EXPECT_TRUE(SameBytes("\nExpanding data...ok (1kb, 1474kb, +101453.72%)", console.Text()));
    EXPECT_FALSE(image.m_bCompressed);
    EXPECT_TRUE(SameBytes(Bytes(1474560), DataOf(image)));
}

TEST(ImageCompression, ExpansionBoundIsTenPerCentAboveTheRawSize)
{
    // 1,024 raw bytes: up to 1,126 expanded ones are shown with their sizes,
    // and only exactly 1,024 are taken.
    struct Case {
        std::size_t expandedSize;
        bool shown;
    } cases[] = {{1126, true}, {1127, false}, {1024, true}, {100, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expandedSize);
        const Bytes data = NoiseBytes(c.expandedSize);
        CDiskImage image;
        FillCompressed(image, kTwoSectors, data);
        const Bytes compressed = DataOf(image);
        ConsoleCapture console;
        const bool taken = c.expandedSize == 1024;
        EXPECT_EQ(image.CompressData(false), taken);
        const std::string text = console.Text();
        EXPECT_TRUE(text.starts_with(c.shown ? "\nExpanding data...ok (" : "\nExpanding data...skipped")) << text;
        if (taken) {
            EXPECT_TRUE(SameBytes(data, DataOf(image)));
        } else {
            EXPECT_TRUE(image.m_bCompressed);
            EXPECT_TRUE(SameBytes(compressed, DataOf(image)));
        }
    }
}

TEST(ImageCompression, RefusesDamagedStreamsAndImpossibleGeometries)
{
    const DiskGeometry zeroSize{512, 0, 2, 80, 2};
    const DiskGeometry beyond32Bits{4096, 1024, 1024, 2, 2};
    struct Case {
        const char* name;
        DiskGeometry geometry;
        bool damage;
    } cases[] = {
        {"damaged stream", kTwoSectors, true},
        {"raw size 0", zeroSize, false},
        {"raw size beyond 32 bits", beyond32Bits, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CDiskImage image;
        FillCompressed(image, kTwoSectors, Bytes(1024, 0x5A));
        image.m_geometry = c.geometry;
        if (c.damage)
            image.m_pData[image.m_nSize - 1] ^= 0xFF;  // breaks the Adler-32 check
        const Bytes compressed = DataOf(image);
        ConsoleCapture console;
        EXPECT_FALSE(image.CompressData(false));
        EXPECT_TRUE(SameBytes("\nExpanding data...skipped", console.Text()));
        EXPECT_TRUE(image.m_bCompressed);
        EXPECT_TRUE(SameBytes(compressed, DataOf(image)));
    }
}

TEST(ImageCompression, WrongStateChangesNothingAndPrintsNothing)
{
    for (bool compressed : {false, true}) {
        CDiskImage image;
        Fill(image, kTwoSectors, Bytes{9, 8, 7}, compressed);
        ConsoleCapture console;
        EXPECT_FALSE(image.CompressData(compressed));  // compress the compressed, expand the raw
        EXPECT_EQ(console.Text(), "");
        EXPECT_EQ(image.m_bCompressed, compressed);
        EXPECT_TRUE(SameBytes(Bytes{9, 8, 7}, DataOf(image)));
    }
}
