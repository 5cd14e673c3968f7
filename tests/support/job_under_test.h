#pragma once

#include "task/copy_thread.h"

// A copy job whose steps a test runs one by one, on a device of its own and
// without Execute (which destroys the job).
class CJobUnderTest : public CCopyThread {
public:
    using CCopyThread::CreateDiskFromImage;
    using CCopyThread::RescueImageFromDisk;
    using CCopyThread::TransferOutcome;
    using CCopyThread::WriteDiskAndReport;
};
