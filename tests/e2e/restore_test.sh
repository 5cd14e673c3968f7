#!/usr/bin/env bash
# Restoring (-d) as users run it: byte-identical round trips on every standard
# capacity, and refusals that leave the floppy exactly as it was.
source "$(dirname "$0")/lib.sh"

FORMAT_FAILED='failed (old or unrecognized file format)'
NOT_READ=$'\nImage file could not be read.'

for size in "${SIZES[@]}"; do
  CASE="round trip of a $size-byte disk"
  kit disk "original-$size.img" "$size"
  mv_run --a "original-$size.img" -- -i -f "image-$size.dsk"
  expect_status 0
  truncate -s "$size" "blank-$size.img"
  mv_run --a "blank-$size.img" -- -d -f "image-$size.dsk"
  expect_stdout "$BANNER$OPENED$READ_IMAGE$(kit expansion-line "image-$size.dsk" "original-$size.img")$QUERIED${INSERTED[MEDIA_OF[size]]}"$'\nWriting data...\nDisk successfully created.'"$CLOSED"
  expect_status 0
  expect_same_bytes "original-$size.img" "blank-$size.img"
done

# Every refusal leaves the disk byte for byte as it was.
kit disk target.img 737280
cp target.img target.orig
refused() {  # refused EXPECTED_AFTER_OPEN IMAGE
  mv_run --a target.img -- -d -f "$2"
  expect_stdout "$BANNER$OPENED$1$CLOSED"
  expect_status 2
  expect_same_bytes target.orig target.img
}

CASE="image file that does not exist"
refused $'\nERROR: Image file \'missing.dsk\' could not be opened.' missing.dsk

CASE="a file of another format"
head -c 5000 /dev/urandom >random.dsk
refused "$FORMAT_FAILED$NOT_READ" random.dsk

CASE="a raw disk, not an image: import is named"
refused "$FORMAT_FAILED$NOT_READ" original-1474560.img
expect_stderr_lines "mendarovel: 'original-1474560.img' is no image but has the size of a raw floppy disk: 'mendarovel-image import original-1474560.img NEW.dsk' makes an image of it"

CASE="a file shorter than the trailer"
printf 'short' >short.dsk
refused "$FORMAT_FAILED$NOT_READ" short.dsk

CASE="a trailer whose size reaches beyond the file"
tail -c +101 image-1474560.dsk >cut.dsk
refused $'\nERROR: Image file validation failed (invalid file structure)'"$FORMAT_FAILED$NOT_READ" cut.dsk

CASE="a 1.44 MB image onto a 720 KB disk"
refused "$READ_IMAGE$(kit expansion-line image-1474560.dsk original-1474560.img)$QUERIED${INSERTED[5]}"$'\nRequired media is: '"${MEDIA[2]}"$'\nERROR: Inserted media is not compatible.'"$DISK_NOT_WRITTEN" image-1474560.dsk

CASE="a damaged compressed stream"
kit flip image-737280.dsk damaged.dsk 200
refused "$READ_IMAGE"$'\nExpanding data...skipped'"$NOT_READ" damaged.dsk

CASE="an image appended to other bytes"
{ head -c 777 /dev/urandom; cat image-737280.dsk; } >appended.dsk
truncate -s 737280 blank-appended.img
mv_run --a blank-appended.img -- -d -f appended.dsk
expect_status 0
expect_same_bytes original-737280.img blank-appended.img

CASE="an image of a newer version is read with a notice"
kit version image-737280.dsk newer.dsk 3 0
truncate -s 737280 blank-newer.img
mv_run --a blank-newer.img -- -d -f newer.dsk
expect_status 0
CHECKS=$((CHECKS + 1))
grep -q '^Newer image file from version 3.0$' "$WORK/stdout" || fail "no version notice: $(cat "$WORK/stdout")"
expect_same_bytes original-737280.img blank-newer.img

# A list that cannot be trusted (here unsorted) has a warning of its own, and
# the restore goes on as without the list.
for list in "5 1439" "1439 5"; do
  if [[ $list == "5 1439" ]]; then
    CASE="an image that records unreadable sectors warns before writing"
    warning='2 sectors of this image could not be read when it was made and hold zeros.'
  else
    CASE="a damaged list of unreadable sectors warns before writing"
    warning='The list of unreadable sectors in this image is damaged and is ignored.'
  fi
  kit unreadable image-737280.dsk unreadable.dsk $list
  truncate -s 737280 blank-unreadable.img
  mv_run --a blank-unreadable.img -- -d -f unreadable.dsk
  expect_stdout "$BANNER$OPENED$READ_IMAGE$(kit expansion-line image-737280.dsk original-737280.img)"$'\nWarning: '"$warning$QUERIED${INSERTED[5]}"$'\nWriting data...\nDisk successfully created.'"$CLOSED"
  expect_status 0
  expect_same_bytes original-737280.img blank-unreadable.img
  rm blank-unreadable.img
done

finish
