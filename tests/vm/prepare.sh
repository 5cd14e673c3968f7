#!/usr/bin/env bash
# Gets the emulated PC ready: the initramfs with the statically linked program
# (the guest has no libraries; scripts/test builds it first with the "static"
# preset) and the kernel to boot. Builds and installs nothing: without the
# program or the tools it says what is missing and the emulated-PC tests are
# skipped (scripts/test builds and installs them).
#
# usage: prepare.sh STATIC_PROGRAM OUT_DIR
set -euo pipefail
# The system tools (mkfs.fat, mkfs.ext2, losetup) live in /usr/sbin and /sbin,
# which a normal user's PATH on Debian lacks.
export PATH=$PATH:/usr/local/sbin:/usr/sbin:/sbin
program=$1 out=$2
mkdir -p "$out"
rm -f "$out/initrd.gz" "$out/kernel"

missing=()
for tool in qemu-system-x86_64 cpio file gzip mkfs.fat mcopy python3; do
  command -v "$tool" >/dev/null || missing+=("$tool")
done
[[ -x /bin/busybox ]] && file -L /bin/busybox | grep -q 'statically linked' || missing+=("a static /bin/busybox")
compgen -G "/lib/modules/*/kernel/drivers/block/floppy.ko*" >/dev/null || missing+=("a kernel with the floppy module")
[[ -x $program ]] || missing+=("the static program $program (cmake --preset static && cmake --build --preset static)")
if ((${#missing[@]})); then
  echo "skipped: the emulated PC needs ${missing[*]} (Debian: qemu-system-x86 linux-image-amd64" \
    "busybox-static cpio file dosfstools mtools python3; scripts/test installs them)"
  exit 77
fi

"$(dirname "$0")/make_initramfs.sh" "$program" "$out/initrd.gz" "$out/kernel"
echo "emulated PC ready: $(cat "$out/kernel"), initramfs $out/initrd.gz"
