#!/bin/busybox sh
# shellcheck shell=dash
# The emulated PC's init: sets up the system, runs the scenario in /scenario.sh
# in /out and hands /out and the runs' results (/result/N/) back to the host on
# the scratch disk (the virtio disk with serial "scratch") as a tar archive.
/bin/busybox --install -s /bin
mount -t proc proc /proc
mount -t sysfs sysfs /sys
mount -t devtmpfs devtmpfs /dev
# Driver messages would mix with the markers on the console.
echo 1 >/proc/sys/kernel/printk
for module in virtio_ring virtio virtio_pci_legacy_dev virtio_pci_modern_dev virtio_pci virtio_blk floppy \
  fat vfat nls_cp437 nls_ascii nls_utf8; do
  insmod /lib/modules/$module.ko || echo "insmod $module failed"
done

# virtio_disk SERIAL: the virtio disk qemu was given that serial number.
virtio_disk() {
  for serial in /sys/block/vd*/serial; do
    [ "$(cat "$serial" 2>/dev/null)" = "$1" ] && echo "/dev/$(basename "$(dirname "$serial")")"
  done
}

# virtio_as_fd0 SERIAL: that virtio disk becomes the first floppy drive, as a
# USB floppy drive would appear to the program.
virtio_as_fd0() {
  # shellcheck disable=SC2046 # major and minor, split on purpose
  set -- $(stat -c '%t %T' "$(virtio_disk "$1")")
  rm -f /dev/fd0
  mknod /dev/fd0 b $((0x$1)) $((0x$2))
}

scratch=$(virtio_disk scratch)

# run ARGS...: the program in /out; each run's output and exit status kept in
# /result/N, N counting the runs from 1.
runs=0
run() {
  runs=$((runs + 1))
  mkdir -p /result/$runs
  (cd /out && exec /bin/mendarovel "$@" >/result/$runs/stdout 2>/result/$runs/stderr)
  echo $? >/result/$runs/status
}

echo "=== scenario begin"
cd /out || exit 1
# shellcheck disable=SC1091 # the scenario arrives with the boot
. /scenario.sh
echo "=== scenario end, $runs runs"
mkdir -p /result
if [ -n "$scratch" ]; then
  tar -cf "$scratch" -C / out result && sync && echo "=== results saved"
else
  echo "=== no scratch disk"
fi
poweroff -f
