#!/usr/bin/env bash
# Builds the emulated PC's initramfs: busybox, the floppy and virtio disk
# modules of the distribution's kernel, the static program and the init that
# runs one scenario.
#
# usage: make_initramfs.sh PROGRAM OUT_INITRD OUT_KERNEL_PATH_FILE
set -euo pipefail
program=$1 out=$2 kernel_file=$3
here=$(cd "$(dirname "$0")" && pwd)

# The newest packaged kernel whose modules include the floppy driver.
kernel="" modules=""
# shellcheck disable=SC2012 # kernel file names have no blanks; ls sorts versions
for candidate in $(ls -v /boot/vmlinuz-* 2>/dev/null | tac); do
  version=${candidate#/boot/vmlinuz-}
  if compgen -G "/lib/modules/$version/kernel/drivers/block/floppy.ko*" >/dev/null; then
    kernel=$candidate modules=/lib/modules/$version/kernel
    break
  fi
done
[[ -n $kernel ]] || { echo "no kernel with a floppy module in /boot and /lib/modules" >&2; exit 1; }
file "$program" | grep -q 'statically linked' || { echo "$program is not statically linked" >&2; exit 1; }

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
mkdir -p "$root"/{bin,dev,proc,sys,lib/modules,out}
cp /bin/busybox "$root/bin/busybox"
cp "$program" "$root/bin/mendarovel"
cp "$here/guest_init.sh" "$root/init"
chmod 755 "$root/init"

# Modules may ship compressed; the guest's insmod takes them plain. FAT lets a
# scenario mount a floppy as a user's system would.
for module in drivers/virtio/virtio_ring drivers/virtio/virtio drivers/virtio/virtio_pci_legacy_dev \
  drivers/virtio/virtio_pci_modern_dev drivers/virtio/virtio_pci drivers/block/virtio_blk \
  drivers/block/floppy fs/fat/fat fs/fat/vfat fs/nls/nls_cp437 fs/nls/nls_ascii fs/nls/nls_utf8; do
  source=$(compgen -G "$modules/$module.ko*" | head -1)
  target="$root/lib/modules/${module##*/}.ko"
  case $source in
    *.ko) cp "$source" "$target" ;;
    *.ko.xz) xz -dc "$source" >"$target" ;;
    *.ko.zst) zstd -dc "$source" >"$target" ;;
    *.ko.gz) gzip -dc "$source" >"$target" ;;
    *) echo "module $module not found under $modules" >&2; exit 1 ;;
  esac
done

(cd "$root" && find . | LC_ALL=C sort | cpio -o -H newc --quiet) | gzip -1 >"$out.tmp"
mv "$out.tmp" "$out"
echo "$kernel" >"$kernel_file"
