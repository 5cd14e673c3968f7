# shellcheck shell=bash disable=SC2034 # the constants are for the scripts that source this
# Shared by the emulated-PC tests: boots qemu with the prepared initramfs, runs
# one scenario in the guest against the real kernel drivers and brings back
# what the program printed, its exit status and the files it wrote.

: "${VM_DIR:?folder with initrd.gz and kernel, made by prepare.sh}"
if [[ ! -s $VM_DIR/initrd.gz ]] || ! command -v qemu-system-x86_64 >/dev/null; then
  echo "skipped: the emulated PC is not prepared (vm.prepare says what it misses)"
  exit 77
fi
CASE=${CASE:-scenario}
# shellcheck source=../kit/checks.sh
source "$(dirname "${BASH_SOURCE[0]}")/../kit/checks.sh"
mkdir -p in
STDOUT_FILE=out/stdout

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
    -kernel "$(cat "$VM_DIR/kernel")" -initrd boot.gz -append "console=ttyS0 quiet panic=-1 no_timer_check" \
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

# expect_files NAME...: exactly these files are left in the guest's folder.
expect_files() {
  CHECKS=$((CHECKS + 1))
  local actual expected
  actual=$(cd out && find . -type f ! -name stdout ! -name stderr ! -name status | sed 's|^\./||' | sort | tr '\n' ' ')
  expected=$(printf '%s\n' "$@" | sed '/^$/d' | sort | tr '\n' ' ')
  [[ $actual == "$expected" ]] || fail "files left: '$actual', expected '$expected'"
}

# original SIZE IMAGE: a pattern disk original.img of SIZE bytes, and IMAGE
# the image of it, built independently of the program.
original() {
  kit disk original.img "$1" && kit image-of original.img "$2" >/dev/null
}

# zero_sector DISK LINEAR: the disk as it reads with that sector skipped.
zero_sector() {
  dd if=/dev/zero of="$1" bs=512 seek="$2" count=1 conv=notrunc status=none
}

# The floppy formats the emulated drive takes, by size.
declare -A FORMATS=([720k]=737280 [1440k]=1474560 [2880k]=2949120 [dmf]=1720320 [1720k]=1763328 [1740k]=1784832)

# formatted SIZE DISK: a FAT disk of 2 heads and 21 sectors a track made by
# mformat (the cylinders from its size), with a file of pattern bytes on it.
formatted() {
  truncate -s "$1" "$2"
  mformat -i "$2" -t $(($1 / 21504)) -h 2 -s 21 ::
  kit disk pattern.bin 600000 5 && mcopy -i "$2" pattern.bin ::
}
