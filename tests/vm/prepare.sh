#!/usr/bin/env bash
# Gets the emulated PC ready: the packages it needs, the program linked
# statically (the guest has no libraries) in a build folder of its own, and the
# initramfs with the kernel to boot.
#
# usage: prepare.sh SOURCE_DIR OUT_DIR
set -euo pipefail
source_dir=$1 out=$2
"$source_dir/scripts/ensure-packages" qemu-system-x86 linux-image-amd64 busybox-static cpio file dosfstools mtools
mkdir -p "$out"
cmake -S "$source_dir" -B "$out/static" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DMENDAROVEL_STATIC=ON -DMENDAROVEL_TESTS=OFF >/dev/null
cmake --build "$out/static" -j2 --target mendarovel >/dev/null
"$(dirname "$0")/make_initramfs.sh" "$out/static/app/mendarovel" "$out/initrd.gz" "$out/kernel"
echo "emulated PC ready: $(cat "$out/kernel"), initramfs $out/initrd.gz"
