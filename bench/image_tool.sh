#!/usr/bin/env bash
# Times mendarovel-image on a 1.44 MB disk against sha256sum and md5sum of the
# raw disk, in one run: see bench/README.md.
#
#   bench/image_tool.sh            30 runs of each command after 3 warm-ups
#   BENCH_ROUNDS=100 bench/image_tool.sh
#   MENDAROVEL_IMAGE=build/mendarovel-image bench/image_tool.sh   a tool built already
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$root/build-bench
rounds=${BENCH_ROUNDS:-30}

"$root/scripts/ensure-packages" cmake ninja-build g++ zlib1g-dev libbenchmark-dev libcli11-dev nlohmann-json3-dev libgcrypt20-dev libtsk-dev \
  hyperfine python3
if [[ -n ${MENDAROVEL_IMAGE:-} ]]; then
  tool=$(realpath "$MENDAROVEL_IMAGE")
else
  (cd "$root" && cmake --preset bench >/dev/null && cmake --build --preset bench -j2 --target mendarovel-image >/dev/null)
  tool=$build/mendarovel-image
fi

work=$(mktemp -d /var/tmp/mendarovel-image-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT
cd "$work"
# Half random sectors, half text: compresses to about half, like a used disk.
python3 - <<'PY'
import random
rng = random.Random(1440)
data = bytearray()
while len(data) < 1474560:
    data += rng.randbytes(512) if rng.random() < 0.5 else (b"sector %08d " % len(data)) * 32
open("disk.img", "wb").write(bytes(data[:1474560]))
PY
"$tool" import disk.img disk.dsk

hyperfine -N --warmup 3 --runs "$rounds" --export-markdown times.md \
  "$tool info disk.dsk" "$tool info --json disk.dsk" "$tool check disk.dsk" "$tool export disk.dsk out.img" \
  "$tool import disk.img new.dsk" "sha256sum disk.img" "md5sum disk.img" >/dev/null
cat times.md
echo
echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ //'), $(uname -r)"
echo "image: $(stat -c %s disk.dsk) bytes of a 1474560-byte disk; $(hyperfine --version); libgcrypt $(dpkg-query -W -f='${Version}' libgcrypt20)"
