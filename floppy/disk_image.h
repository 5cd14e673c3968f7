#pragma once
// One whole disk in memory: its geometry and its data, raw (every sector in
// linear order) or compressed (one zlib stream).
//
// Its members are defined beside what they work with:
//   buffer (Allocate, Free, SectorAddress, AdoptData, ...)  floppy/disk_image.cpp
//   disk reader and writer, media query                     floppy/disk_transfer.cpp
//   RescueFromDevice                                        floppy/disk_rescuer.cpp
//   VerifyOnDevice                                          floppy/disk_verifier.cpp
//   CompressData                                            floppy/disk_image_compression.cpp
//   WriteToFile, ReadFromFile                               floppy/disk_image_file.cpp
// The last three adapt the image file format (image/) and print its lines.

#include <cstdint>
#include <vector>

#include "console/console_log.h"
#include "floppy/sector_retry.h"
#include "formats/disk_geometry.h"
#include "formats/floppy_layouts.h"
#include "image/byte_buffer.h"
#include "image/image_contents.h"

class CDiskDevice;
class CImageFile;

class CDiskImage : public CConsoleLog {
public:
    CDiskImage() = default;
    ~CDiskImage() override;

    // Takes the geometry and a zero-filled buffer of its raw size. False (and
    // no buffer) when memory is short or the size does not fit 32 bits.
    bool Allocate(const DiskGeometry& geometry);
    // Releases the buffer; the geometry stays. Always true.
    bool Free();
    // Start of a sector in the raw buffer; null while the image is empty or
    // compressed. The place is not checked.
    std::uint8_t* SectorAddress(const SectorPlace& place);

    // Every sector of the geometry can be taken from the buffer, raw and whole.
    bool HoldsWholeRawDisk() const;

    // Replaces the buffer with `data` of `size` bytes.
    void AdoptData(ByteBuffer data, std::uint32_t size, bool compressed);

    // Disk reader and writer: the whole disk, sector by sector.
    bool ReadFromDevice(CDiskDevice& device);
    bool WriteToDevice(CDiskDevice& device);
    // Re-reads the sectors that m_unreadableSectors lists (inside the
    // geometry, as the image reader leaves them) from the disk this image was
    // made of; a sector that reads takes its place and leaves the list. False,
    // and nothing worth storing, when the disk is not compatible, not the one
    // of this image, or the rescue was cancelled.
    bool RescueFromDevice(CDiskDevice& device);
    // After a write that succeeded: reads back every sector it wrote and
    // compares it with the buffer. True when all of them are equal.
    bool VerifyOnDevice(CDiskDevice& device);

    // Compresses (true) or expands (false) the buffer in place. An expansion
    // is taken only when it gives exactly the geometry's raw size.
    bool CompressData(bool compress);

    // Image writer and reader over an open image file. Given the file the
    // image was read from, the writer keeps what that file held besides the
    // disk (m_surroundings), as RewriteImageFile does.
    bool WriteToFile(CImageFile& file, CImageFile* previous = nullptr);
    bool ReadFromFile(CImageFile& file);

    DiskGeometry m_geometry;
    ByteBuffer m_pData;
    std::uint32_t m_nSize = 0;
    bool m_bCompressed = false;

    // The largest raw size the image reader takes: that of the largest
    // standard floppy (3.5", 2.88 MB), or more when the drive holds a larger
    // disk. No image larger than both could be written onto the disk.
    std::uint32_t m_nLargestDisk = kLargestStandardFloppy;

    // 0-based linear indexes of the sectors that the last disk transfer skipped.
    std::vector<std::uint32_t> m_skippedSectors;
    // ... and of those it moved only at the second attempt, for the record.
    std::vector<std::uint32_t> m_fixedSectors;
    // 0-based linear indexes of the sectors that could not be read when the
    // image was made: kept in the image file, warned about on restore.
    std::vector<std::uint32_t> m_unreadableSectors;
    // The image has such a list, but it cannot be trusted and is ignored.
    bool m_bUnreadableListDamaged = false;
    // Of the file read last: where the image lay in it, its version and the
    // records this program does not use.
    ImageSurroundings m_surroundings;

private:
    bool QueryMedia(CDiskDevice& device, DiskGeometry& inserted);
    bool CheckCompatibleMedia(const DiskGeometry& inserted);
    bool TransferAllSectors(CDiskDevice& device, const DiskGeometry& geometry, TransferDirection direction);
};
