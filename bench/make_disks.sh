#!/usr/bin/env bash
# Makes the test disks in DIR: a FAT floppy of text and programs and one of
# random bytes, each at 1.44 MB and 2.88 MB.
#   fat1440.img fat2880.img random1440.img random2880.img
# The FAT disks take about half their space from text (the licence files under
# /usr/share/doc) and fill most of the rest with programs from /usr/bin.
set -euo pipefail
# The system tools (mkfs.fat, mkfs.ext2, losetup) live in /usr/sbin and /sbin,
# which a normal user's PATH on Debian lacks.
export PATH=$PATH:/usr/local/sbin:/usr/sbin:/sbin
dir=$1

# add_files IMAGE BUDGET FOLDER FILE...: copies files until BUDGET bytes are used.
add_files() {
  local image=$1 budget=$2 folder=$3 used=0 file size name
  shift 3
  mmd -i "$image" "::$folder"
  for file in "$@"; do
    [[ -f $file && -r $file ]] || continue
    size=$(stat -c %s "$file")
    ((size > 0 && size < 200000)) || continue
    # Whole clusters of 512 bytes, as the FAT allocates them.
    ((used + (size + 511) / 512 * 512 <= budget)) || continue
    name=$(printf '%s_%s' "$(basename "$(dirname "$file")")" "$(basename "$file")" | tr -c 'A-Za-z0-9_.\n-' _)
    mcopy -i "$image" -o "$file" "::$folder/$name" || continue
    used=$((used + (size + 511) / 512 * 512))
  done
}

make_fat() {  # make_fat IMAGE KILOBYTES
  local image=$1 kb=$2 bytes=$(($2 * 1024))
  rm -f "$image"
  mkfs.fat -C -n BENCH "$image" "$kb" >/dev/null
  # Sorted lists, so that one machine makes the same disk every time.
  mapfile -t texts < <(find /usr/share/doc -name copyright -type f | LC_ALL=C sort)
  mapfile -t programs < <(find /usr/bin -maxdepth 1 -type f | LC_ALL=C sort)
  add_files "$image" $((bytes / 2)) TEXT "${texts[@]}"
  add_files "$image" $((bytes * 2 / 5)) BIN "${programs[@]}"
}

mkdir -p "$dir"
make_fat "$dir/fat1440.img" 1440
make_fat "$dir/fat2880.img" 2880
head -c $((1440 * 1024)) /dev/urandom >"$dir/random1440.img"
head -c $((2880 * 1024)) /dev/urandom >"$dir/random2880.img"
