#pragma once
// The one copy job of a run: opens the drive, runs the job, closes the drive
// and destroys itself.

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

#include "console/console_log.h"
#include "floppy/disk_image.h"
#include "floppy/floppy_device.h"
#include "task/job_outcome.h"

// The job of a run, as the command line chose it.
enum OperationMode : std::int32_t {
    OpNone = 10,
    OpImageFromDisk = 11,  // -i
    OpDiskFromImage = 12,  // -d
    OpRescueImage = 13,    // -i -r
};

class CCopyThread : public CConsoleLog {
public:
    CCopyThread() = default;

    // Runs the job; `this` is destroyed before it returns.
    JobOutcome Execute(OperationMode mode, DriveVolume volume);

    // Sets the cancel flags of the object, both devices and the disk image.
    void CancelAll();

    // Taken by whoever touches a published object from another thread, and by
    // the destruction while it signals completion: once *m_pbDone is true
    // under this lock, the object must not be touched any more.
    static std::mutex& LifetimeLock();

    std::atomic<bool>* m_pbDone = nullptr;
    std::string m_strImageFile;
    bool m_bVerify = false;  // -d reads the written disk back
    CFloppyDevice m_floppyNT;
    CFloppyDevice m_floppy9x;
    CDiskImage m_image;

private:
    ~CCopyThread() override;
    int ExitInstance();

    JobOutcome CreateImageFromDisk(CDiskDevice& device, const std::string& name);
    JobOutcome CreateDiskFromImage(CDiskDevice& device, const std::string& name);
    JobOutcome RescueImageFromDisk(CDiskDevice& device, const std::string& name);
};

// The largest raw size worth expanding an image file to, for the disk in
// `device`: no larger image could be written there.
std::uint32_t LargestUsefulImage(CDiskDevice& device);

// The outcome of a disk transfer that ran to its end.
JobOutcome TransferOutcome(const CDiskImage& image);

// The end of -d: writes the image onto the disk, reads it back when `verify`,
// and prints the job's result line.
JobOutcome WriteDiskAndReport(CDiskImage& image, CDiskDevice& device, bool verify);
