# shellcheck shell=bash disable=SC2034 # the constants are for the scripts that source this
# Shared by the emulated-PC tests: boots qemu with the prepared initramfs, runs
# one scenario in the guest against the real kernel drivers and brings back
# what the program printed, its exit status and the files it wrote.
set -uo pipefail

: "${VM_DIR:?folder with initrd.gz and kernel, made by prepare.sh}"
VM_TESTS=${VM_TESTS:-$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)}
E2E_DIR=${E2E_DIR:-$VM_TESTS/../e2e}

WORK=$(mktemp -d "${TMPDIR:-/tmp}/mendarovel-vm.XXXXXX")
trap 'rm -rf "$WORK"' EXIT
cd "$WORK" || exit 1
mkdir -p in
CHECKS=0
FAILURES=0
CASE=${CASE:-scenario}

BANNER=$'Mendarovel 2.1 for Console\n\n'
OPENED=$'\nOpening floppy device...ok'
CLOSED=$'\nClosing floppy device...ok'
QUERIED=$'\nQuerying media information...ok'

# vm_boot SCENARIO QEMU_ARGS...: boots the emulated PC, which runs the guest
# shell text SCENARIO with the files of $WORK/in under /in. Afterwards
# $WORK/out holds what the guest left in its /out, $STATUS the program's exit
# status and $WORK/out/stdout its standard output.
vm_boot() {
  local scenario=$1
  shift
  rm -rf out scenario && mkdir -p out scenario/in
  printf '%s\n' "$scenario" >scenario/scenario.sh
  cp -r in/. scenario/in/
  # The kernel unpacks concatenated archives in turn: the scenario joins the base.
  (cd scenario && find . | cpio -o -H newc --quiet) | gzip -1 >scenario.gz
  cat "$VM_DIR/initrd.gz" scenario.gz >boot.gz
  rm -f scratch.img && truncate -s 16M scratch.img
  local started=$SECONDS
  timeout "${VM_TIMEOUT:-150}" qemu-system-x86_64 -m 256 -nographic -no-reboot -net none \
    -kernel "$(cat "$VM_DIR/kernel")" -initrd boot.gz -append "console=ttyS0 quiet panic=-1" \
    -drive file=scratch.img,if=none,format=raw,id=scratch -device virtio-blk-pci,drive=scratch,serial=scratch \
    "$@" </dev/null >console.txt 2>&1
  local qemu=$?
  echo "[$CASE] emulated PC ran $((SECONDS - started)) s"
  if ! tar -xf scratch.img -C out 2>/dev/null || [[ ! -s out/status ]]; then
    echo "the emulated PC brought no result back (qemu exit $qemu); its console:"
    tail -n 30 console.txt
    exit 1
  fi
  STATUS=$(cat out/status)
}

fail() {
  FAILURES=$((FAILURES + 1))
  echo "FAIL [$CASE]: $*"
}

expect_status() {
  CHECKS=$((CHECKS + 1))
  ((STATUS == $1)) || fail "exit status $STATUS, expected $1"
}

# expect_stdout TEXT: the program's whole standard output, byte for byte.
expect_stdout() {
  CHECKS=$((CHECKS + 1))
  printf '%s' "$1" >expected.txt
  if ! cmp -s expected.txt out/stdout; then
    fail "standard output differs ($(cmp expected.txt out/stdout 2>&1 | head -1))"
    echo "--- expected"; cat expected.txt; echo
    echo "--- actual"; cat out/stdout; echo
  fi
}

# expect_same_bytes EXPECTED ACTUAL
expect_same_bytes() {
  CHECKS=$((CHECKS + 1))
  if [[ ! -e $2 ]]; then
    fail "$2 does not exist"
  elif ! cmp -s "$1" "$2"; then
    fail "$2 differs from $1: $(cmp "$1" "$2" 2>&1 | head -1)"
  fi
}

# expect_files NAME...: exactly these files are left in the guest's folder.
expect_files() {
  CHECKS=$((CHECKS + 1))
  local actual expected
  actual=$(cd out && find . -type f ! -name stdout ! -name stderr ! -name status | sed 's|^\./||' | sort | tr '\n' ' ')
  expected=$(printf '%s\n' "$@" | sed '/^$/d' | sort | tr '\n' ' ')
  [[ $actual == "$expected" ]] || fail "files left: '$actual', expected '$expected'"
}

# make_disk FILE SIZE [SEED]: a disk whose sectors differ, half of them compressible.
make_disk() {
  python3 - "$1" "$2" "${3:-$2}" <<'PY'
import random, sys
path, size, seed = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
rng = random.Random(seed)
data = bytearray()
while len(data) < size:
    if rng.random() < 0.5:
        data += rng.randbytes(512)
    else:
        data += (b"sector %08d " % len(data)) * 16 + bytes(512 - 16 * 16)
open(path, "wb").write(bytes(data[:size]))
PY
}

# zero_sector DISK LINEAR: the disk as it reads with that sector skipped.
zero_sector() {
  dd if=/dev/zero of="$1" bs=512 seek="$2" count=1 conv=notrunc status=none
}

# media_text CODE: how the program names that media type.
media_text() {
  case $1 in
    2) printf '3.5" floppy, 1.44MB and 512 bytes/sector.' ;;
    3) printf '3.5" floppy, 2.88MB and 512 bytes/sector.' ;;
    5) printf '3.5" floppy, 720KB and 512 bytes/sector.' ;;
  esac
}

# The floppy formats the emulated drive takes: name size sectors heads cylinders media.
declare -A FORMATS=(
  [720k]="737280 9 2 80 5"
  [1440k]="1474560 18 2 80 2"
  [2880k]="2949120 36 2 80 3"
)

# expected_image NAME DISK FORMAT: NAME.dsk and NAME.lines, built independently
# of the program from the disk's bytes.
expected_image() {
  local size sectors heads cylinders media
  read -r size sectors heads cylinders media <<<"${FORMATS[$3]}"
  python3 "$E2E_DIR/image_of.py" "$2" 512 "$sectors" "$heads" "$cylinders" "$media" "$1.dsk" "$1.lines"
}

# with_unreadable NAME SECTOR...: NAME.dsk and NAME.lines of expected_image,
# with the record that lists those (0-based, linear) sectors as unreadable.
with_unreadable() {
  python3 - "$@" <<'PY'
import re, struct, sys
name, sectors = sys.argv[1], [int(s) for s in sys.argv[2:]]
image = open(name + ".dsk", "rb").read()[:-14]
image += struct.pack("<HI", 40, 4 * len(sectors)) + struct.pack("<%dI" % len(sectors), *sectors)
image += struct.pack("<HIHHI", 1, len(image) + 14, 2, 1, 0x3D5B2A34)
open(name + ".dsk", "wb").write(image)
lines = open(name + ".lines").read()
lines = re.sub(r"file\.\.\.ok \(\d+kb\)", "file...ok (%dkb)" % (len(image) // 1000), lines)
open(name + ".lines", "w").write(lines)
PY
}

# expansion_line IMAGE DISK: the report of expanding IMAGE's data back to DISK.
expansion_line() {
  python3 - "$1" "$2" <<'PY'
import os, sys
compressed = os.path.getsize(sys.argv[1]) - 53
raw = os.path.getsize(sys.argv[2])
print("\nExpanding data...ok (%dkb, %dkb, %+.2f%%)" % (compressed // 1000, raw // 1000, raw / compressed * 100 - 100), end="")
PY
}

finish() {
  echo "[$CASE] $CHECKS checks, $FAILURES failed"
  ((FAILURES == 0))
}
