#include <gtest/gtest.h>

#include "floppy/disk_image.h"
#include "tests/image/image_bytes.h"
#include "tests/support/console_capture.h"
#include "tests/support/memory_file.h"

TEST(ImageWriter, BlankFloppyMatchesTheWorkedExample)
{
    CDiskImage image;
    ASSERT_TRUE(image.Allocate(kFloppy144));
    image.m_bCancel = true;  // a writer that has started writes the whole file
    CMemoryFile file;
    ConsoleCapture console;
    EXPECT_TRUE(image.WriteToFile(file));
    EXPECT_TRUE(SameBytes("\nCompressing data...ok (1474kb, 1kb, -99.90%)\nWriting image data to file...ok (1kb)",
                          console.Text()));
    EXPECT_FALSE(image.m_bCancel);
    EXPECT_TRUE(image.m_bCompressed);  // the writer does not expand again

    const Bytes& bytes = file.Bytes();
    ASSERT_EQ(bytes.size(), 1505u);
    const Bytes head = {0x0A, 0x00, 0x14, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x12, 0x00, 0x00,
                        0x00, 0x02, 0x00, 0x00, 0x00, 0x50, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00,
                        0x1E, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x0B, 0x00, 0xAC, 0x05, 0x00, 0x00};
    const Bytes tail = {0x01, 0x00, 0xE1, 0x05, 0x00, 0x00, 0x02, 0x00, 0x01, 0x00, 0x34, 0x2A, 0x5B, 0x3D};
    EXPECT_TRUE(SameBytes(head, Bytes(bytes.begin(), bytes.begin() + 39)));
    EXPECT_TRUE(SameBytes(tail, Bytes(bytes.end() - 14, bytes.end())));
    EXPECT_TRUE(SameBytes(Bytes(image.m_pData.get(), image.m_pData.get() + 1452),
                          Bytes(bytes.begin() + 39, bytes.begin() + 39 + 1452)));
}

TEST(ImageWriter, AlreadyCompressedImageIsWrittenAsItIs)
{
    CDiskImage image;
    image.m_geometry = kTwoSectors;
    image.AdoptData(AllocateZeroedBytes(3), 3, true);
    CMemoryFile file;
    ConsoleCapture console;
    EXPECT_TRUE(image.WriteToFile(file));
    EXPECT_TRUE(SameBytes("\nWriting image data to file...ok (0kb)", console.Text()));
    const Bytes expected = ImageOf({Record(RecordGeometry, GeometryContent(kTwoSectors)),
                                    Record(RecordReservedFlag, {0}), Record(RecordCompressedData, {0, 0, 0})});
    EXPECT_TRUE(SameBytes(expected, file.Bytes()));
}

TEST(ImageWriter, WriteFailureAnywhereIsAFalseResult)
{
    // Cut inside the type, the length, the content of each record and the trailer.
    for (std::size_t limit : {0u, 1u, 3u, 20u, 26u, 30u, 33u, 36u, 100u, 1491u, 1495u, 1504u}) {
        SCOPED_TRACE(limit);
        CDiskImage image;
        ASSERT_TRUE(image.Allocate(kFloppy144));
        CMemoryFile file;
        file.m_nWriteLimit = limit;
        ConsoleCapture console;
        EXPECT_FALSE(image.WriteToFile(file));
        EXPECT_TRUE(SameBytes("\nCompressing data...ok (1474kb, 1kb, -99.90%)\nWriting image data to file...",
                              console.Text()));
        EXPECT_LE(file.GetLength(), limit);
    }
}
