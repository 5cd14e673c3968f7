#!/usr/bin/env bash
# Times what -c costs: -d against -d -c of a 1.44 MB FAT floppy through the
# real Linux floppy driver, alternating, in one boot of the emulated PC (qemu,
# software emulation). See bench/README.md.
#
# usage: bench/emulated_pc_verify.sh [DISK_DIR]
#   DISK_DIR: where make_disks.sh left fat1440.img; without it the disks are
#             made in a scratch folder.
#   BENCH_ROUNDS (5): timed rounds, after one untimed round.
# Progress goes to standard error, the figures to standard output.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
rounds=${BENCH_ROUNDS:-5}

export VM_DIR=$root/build-bench/vm
(cd "$root" && cmake --preset static >/dev/null && cmake --build --preset static -j2 >/dev/null)
bash "$root/tests/vm/prepare.sh" "$root/build-static/mendarovel" "$VM_DIR" >&2

disks=${1:-} scratch_disks=""
if [[ -z $disks ]]; then
  disks=$(mktemp -d /var/tmp/mendarovel-bench-disks.XXXXXX) scratch_disks=$disks
  trap 'rm -rf "$scratch_disks"' EXIT
  "$root/bench/make_disks.sh" "$disks"
fi
[[ -f $disks/fat1440.img ]] || { echo "emulated_pc_verify: no $disks/fat1440.img" >&2; exit 1; }

# The guest works in a folder of its own: what it leaves in /out lands there.
out=$(mktemp -d /var/tmp/mendarovel-bench-pc.XXXXXX)
trap 'rm -rf "$out" $scratch_disks' EXIT
cd "$out"
cp "$disks/fat1440.img" disk.img
cp disk.img original.img

# In the guest: the image is made once; then -d and -d -c of it onto the same
# disk alternate, which goes first swapping every round; round 0 is untimed.
# Each line of /out/times: JOB NANOSECONDS; /out/statuses: JOB STATUS.
# shellcheck disable=SC2016 # expanded by the guest's shell
python3 "$root/tests/blackbox/pc.py" --timeout $((180 + 40 * rounds)) . disk.img "rounds=$rounds"'
in_ns() { echo $((${1%.*}${1#*.} * 1000)); }
/bin/mendarovel -i -f /out/x.dsk </dev/null >/out/image.txt 2>&1
timed() {
  local start end status
  start=$EPOCHREALTIME
  case $1 in
    d) /bin/mendarovel -d -f /out/x.dsk </dev/null >/out/d.txt 2>&1 ;;
    dc) /bin/mendarovel -d -c -f /out/x.dsk </dev/null >/out/dc.txt 2>&1 ;;
  esac
  status=$?
  end=$EPOCHREALTIME
  echo "$1 $status" >>/out/statuses
  [ "$2" -eq 0 ] || echo "$1 $(($(in_ns "$end") - $(in_ns "$start")))" >>/out/times
}
r=0
while [ "$r" -le "$rounds" ]; do
  if [ $((r % 2)) -eq 0 ]; then timed d "$r"; timed dc "$r"; else timed dc "$r"; timed d "$r"; fi
  r=$((r + 1))
done
grep -cv " 0$" /out/statuses >/out/status' >&2

# Every run must have done the whole job, and the disk must still be itself.
if [[ $(cat status) != 0 ]] || ! cmp original.img disk.img >&2 ||
  ! grep -q '^Verified: all 2880 sectors equal the image\.$' dc.txt; then
  echo "emulated_pc_verify: a run failed, changed the disk or did not verify; statuses:" >&2
  sort statuses | uniq -c >&2
  exit 1
fi

python3 - times <<'PY'
import statistics, sys
runs = {"d": [], "dc": []}
for line in open(sys.argv[1]):
    job, ns = line.split()
    runs[job].append(int(ns) / 1e6)
d, dc = statistics.median(runs["d"]), statistics.median(runs["dc"])
print("Emulated PC: -d against -d -c of a 1.44 MB FAT floppy, qemu software emulation")
print("median of the timed runs (ms); ratio = -d -c / -d")
print("   -d   -d -c  ratio  runs")
print("%7.1f %7.1f %6.2f %5d" % (d, dc, dc / d, len(runs["d"])))
for job, name in (("d", "-d"), ("dc", "-d -c")):
    print("(runs of %s, ms, in order: %s)" % (name, ", ".join("%.0f" % t for t in runs[job])))
PY
echo "emulated PC: $(qemu-system-x86_64 --version | head -1), no KVM, 256 MB"
