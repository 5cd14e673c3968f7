#include <gtest/gtest.h>

#include "formats/media_types.h"
#include "image/image_records.h"
#include "tests/support/console_capture.h"
#include "tests/support/error_codes.h"
#include "tests/support/expected_text.h"
#include "tests/support/job_under_test.h"
#include "tests/support/memory_file.h"
#include "tests/support/scripted_device.h"
#include "tests/support/temp_folder.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// 4 sectors a track, 2 heads, 3 cylinders: linear index = ((cyl-1)*2 + head-1)*4 + sect-1.
constexpr DiskGeometry kDisk{512, 4, 2, 3, 5};
const Bytes kMedium = PatternBytes(24 * 512);

// The places (cylinder, sector, head) of the sectors the tests let fail.
constexpr int kCylHead2Sect2[] = {1, 2, 2};   // linear 5
constexpr int kCyl2Head2Sect2[] = {2, 2, 2};  // linear 13
constexpr int kCyl2Head2Sect3[] = {2, 3, 2};  // linear 14

const std::string kQueried = MediaQueried(5);

// What -i stores of kMedium when the given sectors fail on every attempt.
Bytes CleanImage(const Bytes& medium, std::initializer_list<const int*> failing)
{
    CScriptedDevice device(kDisk);
    device.m_medium = medium;
    for (const int* place : failing)
        device.FailReads(place[0], place[1], place[2], -1, SectorErrorCode());
    CDiskImage image;
    CMemoryFile file;
    ConsoleCapture quiet;
    EXPECT_TRUE(image.ReadFromDevice(device));
    EXPECT_TRUE(image.WriteToFile(file));
    return file.Bytes();
}

bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

class Rescue : public TempFolder {
protected:
    void Store(const Bytes& bytes) const { MakeFile("Image.dsk", std::string(bytes.begin(), bytes.end())); }
    Bytes Stored() const
    {
        const std::string bytes = ContentOf(m_path);
        return Bytes(bytes.begin(), bytes.end());
    }
    Printed<JobOutcome> Run(CScriptedDevice& device)
    {
        CJobUnderTest job;
        m_report = JobReport{};
        job.m_pReport = &m_report;
        return RunPrinting([&] { return job.RescueImageFromDisk(device, m_path); });
    }
    // The rescue of `before` ends with `lastLine` and `outcome` before a sector
    // of the disk is read, the file left as it was and nothing beside it.
    void ExpectLeftUnread(const Bytes& before, JobOutcome outcome, const std::string& lastLine)
    {
        Store(before);
        CScriptedDevice device(kDisk);
        device.m_medium = kMedium;
        const auto run = Run(device);

        EXPECT_EQ(run.result, outcome);
        EXPECT_TRUE(EndsWith(run.console, "%)\n" + lastLine)) << run.console;
        EXPECT_EQ(run.console.find("Querying"), std::string::npos);
        EXPECT_TRUE(device.m_reads.empty());
        EXPECT_TRUE(SameBytes(before, Stored()));
        EXPECT_EQ(EntryCount(), 1u);
    }

    JobReport m_report;
    const std::string m_path = PathOf("Image.dsk");
};

// The job's lines from the media query on, before the image writer's.
std::string FromQueryToWriter(const std::string& console)
{
    const std::size_t from = console.find("\nQuerying");
    const std::size_t to = console.find("\nCompressing data...");
    return from == std::string::npos ? "" : console.substr(from, to == std::string::npos ? to : to - from);
}

// The image's records without its end record, then `extra`, closed by an end
// record of the given version whose TotalSize counts them all.
Bytes WithRecordsAndVersion(const Bytes& image, const Bytes& extra, std::uint16_t major, std::uint16_t minor)
{
    CMemoryFile file(Bytes(image.begin(), image.end() - kEndRecordSize));
    file.Seek(0, platform::SeekOrigin::End);
    file.Write(extra.data(), extra.size());
    ImageTrailer trailer{static_cast<std::uint32_t>(file.GetLength() + kEndRecordSize), major, minor, kImageMagic};
    WriteEndRecord(file, trailer);
    return file.Bytes();
}

TEST_F(Rescue, RescuedSectorsJoinTheImageAndTheRestStayListed)
{
    Store(CleanImage(kMedium, {kCylHead2Sect2, kCyl2Head2Sect2, kCyl2Head2Sect3}));
    CScriptedDevice device(kDisk);
    device.m_medium = kMedium;
    device.FailReads(2, 2, 2, 1, SectorErrorCode());   // reads on the second attempt
    device.FailReads(2, 3, 2, -1, SectorErrorCode());  // still unreadable
    const auto run = Run(device);

    EXPECT_EQ(run.result, JobOutcome::CompletedWithSkips);
    EXPECT_EQ(run.console.rfind("\nReading image data...ok\nExpanding data...ok (", 0), 0u) << run.console;
    EXPECT_EQ(FromQueryToWriter(run.console), kQueried + "\nRescuing 3 sectors...\nRescued cyl 1, sect 2, head 2."
                                                         "\nRescued cyl 2, sect 2, head 2." +
                                                  ErrorLine(SectorErrorCode()) + "\nSkipping cyl 2, sect 3, head 2.");
    EXPECT_TRUE(EndsWith(run.console, "\nImage file successfully updated.")) << run.console;
    // Exactly what -i gives of this disk when only the last sector fails.
    EXPECT_TRUE(SameBytes(CleanImage(kMedium, {kCyl2Head2Sect3}), Stored()));
    EXPECT_EQ(EntryCount(), 1u);
    // What the record of the rescue lists.
    EXPECT_TRUE(m_report.imageWritten);
    EXPECT_EQ(m_report.rescued, (std::vector<std::uint32_t>{5, 13}));
    EXPECT_EQ(m_report.fixed, std::vector<std::uint32_t>{13});
    EXPECT_EQ(m_report.unreadable, std::vector<std::uint32_t>{14});
}

TEST_F(Rescue, AFullRescueGivesTheImageOfACleanRead)
{
    Store(CleanImage(kMedium, {kCylHead2Sect2, kCyl2Head2Sect3}));
    CScriptedDevice device(kDisk);
    device.m_medium = kMedium;
    const auto run = Run(device);

    EXPECT_EQ(run.result, JobOutcome::Completed);
    EXPECT_EQ(FromQueryToWriter(run.console),
              kQueried + "\nRescuing 2 sectors...\nRescued cyl 1, sect 2, head 2.\nRescued cyl 2, sect 3, head 2.");
    EXPECT_TRUE(SameBytes(CleanImage(kMedium, {}), Stored()));
}

// Bytes the rescue does not own survive it: another image in front of this
// one, and a record of a newer minor version that this one does not know.
TEST_F(Rescue, BytesBeforeTheImageAndUnknownRecordsAreKept)
{
    const Bytes front = CleanImage(PatternBytes(kMedium.size(), 9), {});
    const Bytes unknown = {77, 0, 5, 0, 0, 0, 'k', 'e', 'e', 'p', '!'};
    Bytes before = front;
    const Bytes damaged = WithRecordsAndVersion(CleanImage(kMedium, {kCylHead2Sect2}), unknown, 2, 7);
    before.insert(before.end(), damaged.begin(), damaged.end());
    Store(before);
    CScriptedDevice device(kDisk);
    device.m_medium = kMedium;
    const auto run = Run(device);

    EXPECT_EQ(run.result, JobOutcome::Completed);
    EXPECT_TRUE(EndsWith(run.console, "\nImage file successfully updated.")) << run.console;
    Bytes expected = front;
    const Bytes rescued = WithRecordsAndVersion(CleanImage(kMedium, {}), unknown, 2, 1);
    expected.insert(expected.end(), rescued.begin(), rescued.end());
    EXPECT_TRUE(SameBytes(expected, Stored()));
    EXPECT_EQ(EntryCount(), 1u);
}

// A newer major version may give records meanings this one does not know:
// refused before the disk is read, rather than rewritten without them.
TEST_F(Rescue, ANewerMajorVersionIsRefusedBeforeTheDiskIsRead)
{
    ExpectLeftUnread(WithRecordsAndVersion(CleanImage(kMedium, {kCylHead2Sect2}), {}, 3, 0), JobOutcome::Failed,
                     "ERROR: This image has a newer format version; rescuing it would lose what this version does "
                     "not know.");
}

TEST_F(Rescue, AnImageWithoutUnreadableSectorsIsLeftAlone)
{
    ExpectLeftUnread(CleanImage(kMedium, {}), JobOutcome::Completed,
                     "Nothing to rescue: the image lists no unreadable sectors.");
}

// One flipped bit in the list (sector 13 stored as 13 + 2^31): which sectors
// hold zeros is unknown, and a rescue of none would call the image clean.
TEST_F(Rescue, ADamagedListIsRefusedBeforeTheDiskIsRead)
{
    Bytes before = CleanImage(kMedium, {kCyl2Head2Sect2, kCyl2Head2Sect3});
    // The list's two entries sit just before the 14-byte end record.
    before[before.size() - kEndRecordSize - 8 + 3] ^= 0x80;
    ExpectLeftUnread(before, JobOutcome::Failed,
                     "ERROR: The list of unreadable sectors in this image is damaged; the sectors to rescue are "
                     "unknown.");
}

TEST_F(Rescue, SectorsThatStillFailLeaveTheFileAsItWas)
{
    const Bytes before = CleanImage(kMedium, {kCylHead2Sect2});
    Store(before);
    CScriptedDevice device(kDisk);
    device.m_medium = kMedium;
    device.FailReads(1, 2, 2, -1, SectorErrorCode());
    const auto run = Run(device);

    EXPECT_EQ(run.result, JobOutcome::CompletedWithSkips);
    EXPECT_TRUE(EndsWith(run.console, "\nRescuing 1 sector..." + ErrorLine(SectorErrorCode()) +
                                          "\nSkipping cyl 1, sect 2, head 2.\nNo sector could be rescued."))
        << run.console;
    EXPECT_TRUE(SameBytes(before, Stored()));
    EXPECT_EQ(EntryCount(), 1u);
}

// Another disk must never lend its sectors: one that differs from the image
// in the first good sector, or beside a sector to rescue, is refused before
// any listed sector is read.
TEST_F(Rescue, AnotherDiskIsRefused)
{
    const Bytes before = CleanImage(kMedium, {kCyl2Head2Sect2, kCyl2Head2Sect3});
    for (std::size_t differingSector : {0u, 15u}) {
        Store(before);
        CScriptedDevice device(kDisk);
        device.m_medium = kMedium;
        device.m_medium[differingSector * 512 + 100] ^= 1;
        const auto run = Run(device);

        EXPECT_EQ(run.result, JobOutcome::Failed);
        EXPECT_EQ(FromQueryToWriter(run.console),
                  kQueried + "\nERROR: The inserted disk is not the disk of this image.");
        for (const CScriptedDevice::Place& read : device.m_reads) {
            EXPECT_NE(read, CScriptedDevice::Place(2, 2, 2));
            EXPECT_NE(read, CScriptedDevice::Place(2, 3, 2));
        }
        EXPECT_TRUE(SameBytes(before, Stored()));
        EXPECT_EQ(EntryCount(), 1u);
    }
}

// The usual loss is a whole track; a disk that shares only its boot sector
// with the image's (a copy of one master) must not fill it.
TEST_F(Rescue, ACopyOfTheSameMasterIsRefusedForALostTrack)
{
    constexpr int kCyl2Head2Sect1[] = {2, 1, 2};
    constexpr int kCyl2Head2Sect4[] = {2, 4, 2};
    const Bytes before = CleanImage(kMedium, {kCyl2Head2Sect1, kCyl2Head2Sect2, kCyl2Head2Sect3, kCyl2Head2Sect4});
    Store(before);
    CScriptedDevice device(kDisk);
    device.m_medium = PatternBytes(kMedium.size(), 7);
    std::copy_n(kMedium.begin(), 512, device.m_medium.begin());
    const auto run = Run(device);

    EXPECT_EQ(run.result, JobOutcome::Failed);
    EXPECT_EQ(FromQueryToWriter(run.console), kQueried + "\nERROR: The inserted disk is not the disk of this image.");
    EXPECT_TRUE(SameBytes(before, Stored()));
}

TEST_F(Rescue, IncompatibleMediaIsRefused)
{
    const Bytes before = CleanImage(kMedium, {kCylHead2Sect2});
    Store(before);
    DiskGeometry larger = kDisk;
    larger.Cylinders += 1;
    CScriptedDevice device(larger);
    const auto run = Run(device);

    EXPECT_EQ(run.result, JobOutcome::Failed);
    EXPECT_EQ(FromQueryToWriter(run.console),
              kQueried + "\nRequired media is: " + DescribeMediaType(5) + "\nERROR: Inserted media is not compatible.");
    EXPECT_TRUE(device.m_reads.empty());
    EXPECT_TRUE(SameBytes(before, Stored()));
}

TEST_F(Rescue, CtrlCBetweenSectorsChangesNothing)
{
    const Bytes before = CleanImage(kMedium, {kCylHead2Sect2, kCyl2Head2Sect3});
    Store(before);
    CScriptedDevice device(kDisk);
    device.m_medium = kMedium;
    CJobUnderTest job;
    device.m_onTransfer = [&] {
        // The handler sets every flag of the job; here, once the first
        // listed sector is being read.
        if (device.m_reads.back() == CScriptedDevice::Place(1, 2, 2)) {
            job.m_bCancel = true;
            job.m_image.m_bCancel = true;
        }
    };
    const auto run = RunPrinting([&] { return job.RescueImageFromDisk(device, m_path); });

    EXPECT_EQ(run.result, JobOutcome::Failed);
    EXPECT_TRUE(EndsWith(run.console, "\nRescuing 2 sectors...\nRescued cyl 1, sect 2, head 2.\nCancelling all tasks..."))
        << run.console;
    EXPECT_EQ(device.m_reads.back(), CScriptedDevice::Place(1, 2, 2));
    EXPECT_TRUE(SameBytes(before, Stored()));
    EXPECT_EQ(EntryCount(), 1u);
}

}  // namespace
