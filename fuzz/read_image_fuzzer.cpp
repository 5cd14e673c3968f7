// The whole image reader over any bytes: validation, records and expansion.
// Besides the sanitizers it checks what the disk writer relies on.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "floppy/disk_image.h"
#include "tests/support/memory_file.h"

namespace {

// An image that was taken is raw and exactly as large as its geometry (or
// holds no data for the disk writer to refuse), and its unreadable sectors lie
// on the disk in ascending order.
void CheckAcceptedImage(const CDiskImage& image)
{
    if (image.m_pData) {
        std::uint32_t rawSize = 0;
        if (image.m_bCompressed || !RawDiskSize(image.m_geometry, rawSize) || image.m_nSize != rawSize)
            std::abort();
    }
    const std::uint64_t sectorCount = std::uint64_t{image.m_geometry.Cylinders} * image.m_geometry.TracksPerCylinder *
                                      image.m_geometry.SectorsPerTrack;
    for (std::size_t i = 0; i < image.m_unreadableSectors.size(); ++i) {
        if (image.m_unreadableSectors[i] >= sectorCount ||
            (i != 0 && image.m_unreadableSectors[i] <= image.m_unreadableSectors[i - 1]))
            std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::vector<std::uint8_t> bytes(data, data + size);
    CMemoryFile file(bytes);
    CDiskImage image;
    if (image.ReadFromFile(file))
        CheckAcceptedImage(image);

    // The same file on a medium that fails half-way: the reader must stop
    // cleanly, and whatever it took must still hold.
    CMemoryFile failing(bytes);
    failing.m_nReadLimit = size / 2;
    CDiskImage partial;
    if (partial.ReadFromFile(failing))
        CheckAcceptedImage(partial);
    return 0;
}
