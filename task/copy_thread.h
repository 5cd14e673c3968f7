#pragma once
// The one copy job of a run: opens the drive, runs the job, closes the drive
// and destroys itself.

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "console/console_log.h"
#include "floppy/disk_image.h"
#include "floppy/floppy_device.h"
#include "image/disk_file.h"
#include "image/image_target.h"
#include "task/job_outcome.h"
#include "task/job_report.h"

// The job of a run, as the command line chose it.
enum OperationMode : std::int32_t {
    OpNone = 10,
    OpImageFromDisk = 11,  // -i
    OpDiskFromImage = 12,  // -d
    OpRescueImage = 13,    // -i -r
};

class CCopyThread : public CConsoleLog {
public:
    // Runs the job; `this` is destroyed before it returns.
    JobOutcome Execute(OperationMode mode, DriveVolume volume);

    // Sets the cancel flags of the object, both devices and the disk image.
    void CancelAll();

    // Taken by whoever touches a published object from another thread, and by
    // the destruction while it signals completion: once *m_pbDone is true
    // under this lock, the object must not be touched any more.
    static std::mutex& LifetimeLock();

    std::atomic<bool>* m_pbDone = nullptr;
    std::size_t* m_pnSkipped = nullptr;  // given the count of skipped sectors at the end
    std::string m_strImageFile;
    bool m_bVerify = false;  // -d reads the written disk back
    JobReport* m_pReport = nullptr;  // filled for the record and the log when set
    CFloppyDevice m_floppyNT;
    CFloppyDevice m_floppy9x;
    CDiskImage m_image;

protected:
    // Only Execute ends the object's life (tests derive from it to run a job).
    ~CCopyThread() override;

    // The jobs, each in a file of its name: given the open drive and the image
    // file's name, each prints its lines and one result line.
    JobOutcome CreateImageFromDisk(CDiskDevice& device, const std::string& name);  // -i
    JobOutcome CreateDiskFromImage(CDiskDevice& device, const std::string& name);  // -d
    JobOutcome RescueImageFromDisk(CDiskDevice& device, const std::string& name);  // -i -r

    // The step -d and -i -r share: the image file `name` into m_image, for the
    // disk in `device`. Prints why it failed.
    // The file stays open (and others cannot write it) while the job holds it.
    std::unique_ptr<CDiskFile> ReadImageFile(CDiskDevice& device, const std::string& name);
    // The end of -d: writes m_image onto the disk, reads it back when
    // m_bVerify, and prints the job's result line.
    JobOutcome WriteDiskAndReport(CDiskDevice& device);
    // The new image file for `name`; false, with the lines of the failure,
    // when it cannot be created.
    bool CreateTarget(CImageTarget& target, const std::string& name, CImageTarget::Previous previous);
    // The end of -i and -i -r (`update`: keeping what the old file held besides
    // the disk): m_image into the target, which takes the old file's place
    // unless a Ctrl-C came, and the job's result line.
    JobOutcome StoreImage(CImageTarget& target, const std::string& name, bool update);
    // The outcome of a disk transfer of m_image that ran to its end.
    JobOutcome TransferOutcome() const;
};
