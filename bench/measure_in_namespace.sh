#!/usr/bin/env bash
# Runs inside a private mount namespace (bench/run starts it): gives each test
# disk in turn the place of drive A: and times the program against the
# dd-and-gzip pipeline on it, alternating the two run by run, so that both
# see the same drive, the same caches and the same machine load.
#
# usage: measure_in_namespace.sh PROGRAM DISK_DIR WORK_DIR ROUNDS
# Prints one line per timed run: DISK JOB CONTENDER NANOSECONDS
# and one per memory run:        DISK JOB mem KILOBYTES
set -euo pipefail
program=$1 disks=$2 work=$3 rounds=$4

mount -t tmpfs -o mode=755 mendarovel-bench-dev /dev
mknod -m 666 /dev/null c 1 3
touch /dev/fd0
cd "$work"

fail() { echo "measure: $*" >&2; exit 1; }

# timed DISK JOB CONTENDER COMMAND...: runs the command once, prints its time.
timed() {
  local disk=$1 job=$2 contender=$3 start end
  shift 3
  start=$(date +%s%N)
  "$@" >/dev/null 2>&1 </dev/null || fail "$disk $job $contender failed"
  end=$(date +%s%N)
  echo "$disk $job $contender $((end - start))"
}

ours_image()   { "$program" -i -f ours.dsk; }
ours_restore() { "$program" -d -f ours.dsk; }
pipe_image()   { dd if=/dev/fd0 bs=512 status=none | gzip -9 >pipe.gz; }
pipe_restore() { gzip -dc pipe.gz | dd of=/dev/fd0 bs=512 conv=notrunc status=none; }
# The same pipelines made as durable as the program's work: it forces the
# image file (and the restored disk) to the medium before it reports success.
sync_image()   { pipe_image && sync pipe.gz; }
sync_restore() { gzip -dc pipe.gz | dd of=/dev/fd0 bs=512 conv=notrunc,fsync status=none; }

# round DISK JOB FIRST...: one run of each contender, in the order given.
round() {
  local disk=$1 job=$2 contender
  shift 2
  for contender in "$@"; do
    timed "$disk" "$job" "$contender" "${contender}_${job}"
  done
}

for image in "$disks"/*.img; do
  disk=$(basename "$image" .img)
  mount --bind "$image" /dev/fd0
  reference=$(sha256sum <"$image")

  # Image first (restore needs the images), then restore; one untimed round
  # warms the caches. Each round rotates the contenders' order.
  for job in image restore; do
    contenders=(ours pipe sync)
    for ((r = 0; r <= rounds; ++r)); do
      shift_by=$((r % 3))
      order=("${contenders[@]:shift_by}" "${contenders[@]:0:shift_by}")
      if ((r == 0)); then
        round "$disk" "$job" "${order[@]}" >/dev/null
      else
        round "$disk" "$job" "${order[@]}"
      fi
    done
  done

  # Both contenders must have done the whole job: the images hold the disk,
  # and the restores left it as it was.
  [[ $(gzip -dc pipe.gz | sha256sum) == "$reference" ]] || fail "$disk: the pipeline's image differs"
  [[ $(sha256sum <"$image") == "$reference" ]] || fail "$disk: the restores changed the disk"
  rm -f restored.img && truncate -s "$(stat -c %s "$image")" restored.img
  umount /dev/fd0 && mount --bind restored.img /dev/fd0
  "$program" -d -f ours.dsk >/dev/null 2>&1 </dev/null || fail "$disk: restore onto a blank disk failed"
  [[ $(sha256sum <restored.img) == "$reference" ]] || fail "$disk: the program's image does not restore the disk"
  umount /dev/fd0 && mount --bind "$image" /dev/fd0

  # Peak memory: the high-water mark of one run of each job.
  for job in image restore; do
    flag=-i; [[ $job == restore ]] && flag=-d
    kb=$(/usr/bin/time -f %M "$program" "$flag" -f ours.dsk 2>&1 >/dev/null </dev/null | tail -1)
    echo "$disk $job mem $kb"
  done
  kb=$( { /usr/bin/time -f %M gzip -9 <"$image" >/dev/null; } 2>&1 | tail -1)
  echo "$disk image gzipmem $kb"
  umount /dev/fd0
done
