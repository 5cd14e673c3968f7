#!/usr/bin/env bash
# A floppy whose file system is mounted is imaged, but never written behind
# the file system's back; once unmounted it is written as usual.
[[ $(id -u) -eq 0 ]] || { echo "skipped: mounting a loop device needs root"; exit 77; }
# The test's mounts live in a namespace of their own: a mount namespace made
# elsewhere meanwhile (by the tests running beside this one) would otherwise
# take a copy of them and keep the floppy's file system busy after umount.
[[ -n ${MV_OWN_NAMESPACE:-} ]] || exec env MV_OWN_NAMESPACE=1 unshare --mount --propagation private bash "$0" "$@"
source "$(dirname "$0")/lib.sh"

kit disk other.img 1474560
truncate -s 1474560 disk.img
mkfs.ext2 -q -F disk.img || { fail "mkfs.ext2 failed"; finish; exit; }
LOOP=$(losetup -f --show disk.img 2>/dev/null) || { echo "skipped: no loop device here"; exit 77; }
mkdir mnt
mount -o ro "$LOOP" mnt || { losetup -d "$LOOP"; fail "cannot mount $LOOP"; finish; exit; }
STACKED=()
cleanup() {
  umount mnt mnt-stacked 2>/dev/null
  for ((i = ${#STACKED[@]} - 1; i >= 0; i--)); do losetup -d "${STACKED[i]}" 2>/dev/null; done
  losetup -d "$LOOP" 2>/dev/null
  rm -rf "$WORK"
}
trap cleanup EXIT
cp disk.img disk.orig

# numbers DEVICE: its major and minor number.
numbers() {
  stat -c '%t %T' "$1" | { read -r major minor; echo $((16#$major)) $((16#$minor)); }
}

# The drive is the loop device $DRIVE ($LOOP unless set), so the kernel sees
# it mounted; the loop devices stacked on it keep their names, as in /dev.
run_on_loop() {
  local drive=${DRIVE:-$LOOP} nodes="" loop
  for loop in "${STACKED[@]}"; do nodes+="mknod $loop b $(numbers "$loop"); "; done
  MV_AFTER_OUT="$WORK/after" unshare --mount --propagation private bash -c '
    set -e
    mount -t tmpfs mendarovel-dev /dev
    mknod -m 666 /dev/null c 1 3
    mknod /dev/fd0 b '"$(numbers "$drive")"'
    '"$nodes"'
    exec "$@"' run "$MENDAROVEL" "$@" >"$WORK/stdout" 2>"$WORK/stderr"
  STATUS=$?
}

# An image of some other disk, to try to write over the mounted one.
mv_run --a other.img -- -i -f other.dsk
expect_status 0

CASE="imaging a mounted floppy"
run_on_loop -i -f mounted.dsk
expect_status 0
CHECKS=$((CHECKS + 1))
[[ -s mounted.dsk ]] || fail "no image of the mounted floppy"

CASE="writing a mounted floppy is refused at once"
run_on_loop -d -f other.dsk
# (The expansion's figures depend on the data; the rest is fixed.)
expansion=$(grep -o 'Expanding data\.\.\.ok ([^)]*)' "$WORK/stdout")
BUSY="$BANNER$OPENED"$'\nReading image data...ok\n'"$expansion"$'\nQuerying media information...ok'"${INSERTED[2]}"$'\nWriting data...\nERROR: Device or resource busy\nSkipping cyl 1, sect 1, head 1.\nDisk could not be written.'"$CLOSED"
expect_stdout "$BUSY"
expect_status 2
expect_same_bytes disk.orig disk.img

# Mounted through a loop device stacked on the drive: the drive itself is not
# claimed by anyone, the loop device over it is.
CASE="writing a floppy mounted through a stacked loop device is refused"
cp disk.orig stacked.img
STACKED+=("$(losetup -f --show stacked.img)")
STACKED+=("$(losetup -f --show "${STACKED[0]}")")
mkdir mnt-stacked
mount -o ro "${STACKED[1]}" mnt-stacked || fail "cannot mount ${STACKED[1]}"
DRIVE=${STACKED[0]} run_on_loop -d -f other.dsk
expect_stdout "$BUSY"
expect_status 2
expect_same_bytes disk.orig stacked.img

CASE="once unmounted, the same image is written"
umount mnt
# The namespaces of the runs above may take a moment to let go of their copy
# of the mount; the kernel's own exclusive open says when the device is free.
kit wait-free "$LOOP"
run_on_loop -d -f other.dsk
expect_status 0
expect_same_bytes other.img disk.img

finish
