#!/usr/bin/env bash
# Gets the emulated PC ready: the program linked statically (the guest has no
# libraries) in a build folder of its own, and the initramfs with the kernel to
# boot. Installs nothing: without the tools it says what is missing and the
# emulated-PC tests are skipped (scripts/test installs them).
#
# usage: prepare.sh SOURCE_DIR OUT_DIR
set -euo pipefail
# The system tools (mkfs.fat, mkfs.ext2, losetup) live in /usr/sbin and /sbin,
# which a normal user's PATH on Debian lacks.
export PATH=$PATH:/usr/local/sbin:/usr/sbin:/sbin
source_dir=$1 out=$2
mkdir -p "$out"
rm -f "$out/initrd.gz" "$out/kernel"

missing=()
for tool in qemu-system-x86_64 cpio file gzip mkfs.fat mcopy python3; do
  command -v "$tool" >/dev/null || missing+=("$tool")
done
[[ -x /bin/busybox ]] && file -L /bin/busybox | grep -q 'statically linked' || missing+=("a static /bin/busybox")
compgen -G "/lib/modules/*/kernel/drivers/block/floppy.ko*" >/dev/null || missing+=("a kernel with the floppy module")
if ((${#missing[@]})); then
  echo "skipped: the emulated PC needs ${missing[*]} (Debian: qemu-system-x86 linux-image-amd64" \
    "busybox-static cpio file dosfstools mtools python3; scripts/test installs them)"
  exit 77
fi

cmake -S "$source_dir" -B "$out/static" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DMENDAROVEL_STATIC=ON -DBUILD_TESTING=OFF >/dev/null
cmake --build "$out/static" -j2 --target mendarovel >/dev/null
"$(dirname "$0")/make_initramfs.sh" "$out/static/mendarovel" "$out/initrd.gz" "$out/kernel"
echo "emulated PC ready: $(cat "$out/kernel"), initramfs $out/initrd.gz"
