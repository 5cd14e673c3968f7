#!/usr/bin/env bash
# Times -i of a 1.44 MB FAT floppy against dd of the same floppy through the
# real Linux floppy driver, in one boot of the emulated PC (qemu, software
# emulation), and prints bench/run's table section for it. See bench/README.md.
#
# usage: bench/emulated_pc.sh [DISK_DIR]
#   DISK_DIR: where make_disks.sh left fat1440.img (bench/run passes its own);
#             without it the disks are made in a scratch folder.
#   BENCH_ROUNDS (15): rounds asked for; the guest runs at most
#   BENCH_EMULATED_PC_ROUNDS (5) of them, since one round takes ~5 s there.
# Progress goes to standard error, the table section to standard output.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
rounds=${BENCH_ROUNDS:-15}
cap=${BENCH_EMULATED_PC_ROUNDS:-5}
((rounds > cap)) && rounds=$cap

export VM_DIR=$root/build-bench/vm
(cd "$root" && cmake --preset static >/dev/null && cmake --build --preset static -j2 >/dev/null)
bash "$root/tests/vm/prepare.sh" "$root/build-static/mendarovel" "$VM_DIR" >&2

disks=${1:-} scratch_disks=""
if [[ -z $disks ]]; then
  disks=$(mktemp -d /var/tmp/mendarovel-bench-disks.XXXXXX) scratch_disks=$disks
  trap 'rm -rf "$scratch_disks"' EXIT
  "$root/bench/make_disks.sh" "$disks"
fi
disk=$disks/fat1440.img
[[ -f $disk ]] || { echo "emulated_pc: no $disk" >&2; exit 1; }

# The guest works in a folder of its own: what it leaves in /out lands there.
out=$(mktemp -d /var/tmp/mendarovel-bench-pc.XXXXXX)
trap 'rm -rf "$out" $scratch_disks' EXIT
cp "$disk" "$out/disk.img"

started=$(date +%s%N)
python3 "$root/tests/blackbox/pc.py" --timeout $((180 + 40 * rounds)) "$out" "$out/disk.img" "rounds=$rounds
$(cat "$root/bench/emulated_pc_guest.sh")" >&2
ended=$(date +%s%N)
cd "$out"

# Both must have done the whole job: every run's exit status 0 (status counts
# the failed ones), dd's copy is the disk, and the program's image is the one
# built from the disk's bytes independently of the program.
if [[ $(cat status) != 0 ]] || ! cmp disk.img x.img >&2 || ! python3 "$root/tests/blackbox/image_file.py" disk.img x.dsk; then
  echo "emulated_pc: a run failed or wrote other bytes; statuses:" >&2
  sort statuses | uniq -c >&2
  exit 1
fi

python3 "$root/bench/table.py" --emulated-pc times
guest() { sed -n "s/^$1 //p" guest; }
start=$(guest uptime_at_start) end=$(guest uptime_at_end)
echo "emulated PC: $(qemu-system-x86_64 --version | head -1), no KVM; guest $(guest kernel), $(guest cpu), 256 MB"
echo "one boot: $(((ended - started) / 1000000000)) s wall, of which ${start%.*} s guest to the first run and" \
  "$(python3 -c "print(round($end - $start))") s for $rounds+1 rounds of 2 runs (the first untimed)"
