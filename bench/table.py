"""Turns bench/run's measurements into the table it prints."""
import json
import os
import statistics
import sys
from collections import defaultdict

MIB = 1024 * 1024


def load_times(path):
    times = defaultdict(list)   # (disk, job, contender) -> [ns]
    memory = {}                 # (disk, job, what) -> KiB
    for line in open(path):
        disk, job, what, value = line.split()
        if what in ("mem", "gzipmem"):
            memory[(disk, job, what)] = int(value)
        else:
            times[(disk, job, what)].append(int(value))
    return times, memory


def timing_table(times, disks):
    print("Time, median of the timed runs (ms); ratio = the program / the pipeline")
    print(f"{'disk':<11} {'job':<3} {'program':>8} {'dd+gzip':>8} {'ratio':>6} {'+sync':>8} {'ratio':>6} {'runs':>5}")
    for disk in disks:
        for job, flag in (("image", "-i"), ("restore", "-d")):
            ours = statistics.median(times[(disk, job, "ours")]) / 1e6
            pipe = statistics.median(times[(disk, job, "pipe")]) / 1e6
            synced = statistics.median(times[(disk, job, "sync")]) / 1e6
            runs = len(times[(disk, job, "ours")])
            print(f"{disk:<11} {flag:<3} {ours:8.1f} {pipe:8.1f} {ours / pipe:6.2f} {synced:8.1f} {ours / synced:6.2f} {runs:5d}")


def memory_table(memory, disks, disk_dir):
    print("Peak memory (maximum resident set, MiB) against the disk; limit = 3 x disk + 10 MiB")
    print(f"{'disk':<11} {'size':>6} {'-i':>6} {'-d':>6} {'limit':>6} {'within':>6} {'gzip -9':>8}")
    for disk in disks:
        size = os.path.getsize(os.path.join(disk_dir, disk + ".img")) / MIB
        image = memory[(disk, "image", "mem")] / 1024
        restore = memory[(disk, "restore", "mem")] / 1024
        limit = 3 * size + 10
        within = "yes" if max(image, restore) <= limit else "NO"
        gzip = memory[(disk, "image", "gzipmem")] / 1024
        print(f"{disk:<11} {size:6.2f} {image:6.1f} {restore:6.1f} {limit:6.1f} {within:>6} {gzip:8.1f}")


def scaling_table(paths):
    print("Scaling: read, compress, write in process over a memory-backed drive (half text, half random)")
    print(f"{'disk':>7} {'MiB':>7} {'runs':>5} {'ms/MiB':>7} {'peak MiB':>9} {'job peak/MiB':>13} {'image/disk':>11}")
    for path in paths:
        for run in json.load(open(path))["benchmarks"]:
            name = run["name"].split("/")[1]
            print(f"{name:>7} {run['disk_MiB']:7.2f} {run['iterations']:5d} {run['s_per_MiB'] * 1000:7.1f} "
                  f"{run['peak_MiB']:9.1f} {run['job_peak_per_disk_MiB']:13.2f} {run['image_per_disk']:11.3f}")
    print("(peak MiB: the whole process, the drive's medium included; job peak/MiB: what the job adds")
    print(" above the process before it, per MiB of disk)")


def emulated_pc_table(times):
    print("Emulated PC: -i of a 1.44 MB floppy through the real floppy driver, qemu software emulation")
    print("median of the timed runs (ms); ratio = the program / dd; beyond dd = the program - dd")
    print(f"{'disk':<11} {'job':<3} {'program':>8} {'dd':>8} {'ratio':>6} {'beyond dd':>10} {'runs':>5}")
    ours = statistics.median(times[("fat1440", "image", "ours")]) / 1e6
    dd = statistics.median(times[("fat1440", "image", "dd")]) / 1e6
    runs = len(times[("fat1440", "image", "ours")])
    print(f"{'fat1440':<11} {'-i':<3} {ours:8.1f} {dd:8.1f} {ours / dd:6.2f} {ours - dd:10.1f} {runs:5d}")
    print(f"(dd: dd if=/dev/fd0 iflag=direct bs=512, the transfer alone: {dd / ours * 100:.0f} % of the program's time)")
    for contender, name in (("ours", "program"), ("dd", "dd")):
        listed = ", ".join(f"{t / 1e6:.0f}" for t in times[("fat1440", "image", contender)])
        print(f"(runs of {name}, ms, in order: {listed})")


def main():
    if sys.argv[1] == "--emulated-pc":
        times, _ = load_times(sys.argv[2])
        emulated_pc_table(times)
        return
    measured, disk_dir, scaling = sys.argv[1], sys.argv[2], sys.argv[3:]
    times, memory = load_times(measured)
    disks = sorted({disk for disk, _, _ in times}, key=lambda d: (not d.startswith("fat"), int(d.lstrip("fatrandom"))))
    timing_table(times, disks)
    print()
    memory_table(memory, disks, disk_dir)
    if scaling:
        print()
        scaling_table(scaling)


main()
