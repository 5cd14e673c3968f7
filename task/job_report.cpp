#include "task/job_report.h"

#include "floppy/disk_image.h"

void NoteRawDisk(JobReport* report, const CDiskImage& image)
{
    if (report == nullptr)
        return;
    report->geometry = image.m_geometry;
    report->unreadable = image.m_unreadableSectors;
    report->fixed = image.m_fixedSectors;
    report->failedSectors = image.m_skippedSectors.size();
    report->hasRawDisk = ComputeDiskDigests(image.m_pData.get(), image.m_nSize, report->digests);
}
