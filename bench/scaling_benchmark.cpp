// The in-process half of -i: read every sector of a memory-backed drive,
// compress the disk and write the image into a memory file, for disks from
// 160 KB to 230 MB. Time and memory per MB should not depend on the size.
//
// Peak memory is the process's high-water mark, so run one size per process
// (bench/run does: --benchmark_filter=<size>).

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <map>
#include <memory>
#include <string>

#include "bench/disk_contents.h"
#include "floppy/disk_image.h"
#include "tests/support/memory_file.h"
#include "tests/support/scripted_device.h"

namespace {

constexpr double kMiB = 1024.0 * 1024.0;

double PeakResidentMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) * 1024.0 / kMiB;  // ru_maxrss is in KiB on Linux
}

// The drive of one size with its contents, made once per process: the
// benchmark library calls the function several times while it settles on an
// iteration count, and each call must see the same starting high-water mark.
struct PreparedDrive {
    explicit PreparedDrive(const DiskGeometry& geometry) : device(geometry)
    {
        device.m_bLogTransfers = false;
        FillHalfCompressible(device.m_medium, geometry.BytesPerSector);
        baseMiB = PeakResidentMiB();
    }
    CScriptedDevice device;
    // What the process holds before the job: the program, the benchmark
    // library and the medium itself (a real drive keeps that outside).
    double baseMiB = 0;
};

PreparedDrive& DriveOf(const DiskGeometry& geometry)
{
    static std::map<std::uint32_t, std::unique_ptr<PreparedDrive>> drives;
    auto& drive = drives[geometry.Cylinders * 1000 + geometry.SectorsPerTrack];
    if (!drive)
        drive = std::make_unique<PreparedDrive>(geometry);
    return *drive;
}

void ReadCompressWrite(benchmark::State& state, DiskGeometry geometry)
{
    PreparedDrive& drive = DriveOf(geometry);
    CScriptedDevice& device = drive.device;
    const double diskMiB = static_cast<double>(device.m_medium.size()) / kMiB;

    std::size_t imageSize = 0;
    for (auto _ : state) {
        CDiskImage image;
        CMemoryFile file;
        if (!image.ReadFromDevice(device) || !image.WriteToFile(file)) {
            state.SkipWithError("the job failed");
            return;
        }
        imageSize = file.Bytes().size();
        benchmark::DoNotOptimize(file.Bytes().data());
    }

    const double peakMiB = PeakResidentMiB();
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(device.m_medium.size()));
    state.counters["disk_MiB"] = diskMiB;
    state.counters["s_per_MiB"] =
        benchmark::Counter(diskMiB, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["peak_MiB"] = peakMiB;
    state.counters["job_peak_per_disk_MiB"] = (peakMiB - drive.baseMiB) / diskMiB;
    state.counters["image_per_disk"] = static_cast<double>(imageSize) / static_cast<double>(device.m_medium.size());
}

// 512-byte sectors throughout; the large ones in the removable drives' layouts.
struct Size {
    const char* name;
    DiskGeometry geometry;
};
constexpr Size kSizes[] = {
    {"0.16MB", {512, 8, 1, 40, 10}},
    {"1.44MB", {512, 18, 2, 80, 2}},
    {"2.88MB", {512, 36, 2, 80, 3}},
    {"120MB", {512, 32, 8, 960, 13}},
    {"230MB", {512, 32, 8, 1840, 21}},
};

}  // namespace

int main(int argc, char** argv)
{
    // The job narrates every stage on standard output, so bench/run reads
    // the figures from --benchmark_out instead.
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    for (const Size& size : kSizes)
        benchmark::RegisterBenchmark((std::string("ReadCompressWrite/") + size.name).c_str(), ReadCompressWrite,
                                     size.geometry)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->MinTime(2.0);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
