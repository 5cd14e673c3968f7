#!/usr/bin/env bash
# Imaging (-i) as users run it: exact lines and exact image bytes on every
# standard capacity, and an existing image that survives every failure.
source "$(dirname "$0")/lib.sh"

# Every standard capacity images to the bytes that zlib level 9 gives.
for size in "${SIZES[@]}"; do
  CASE="image of a $size-byte disk"
  kit disk "disk-$size.img" "$size"
  lines=$(kit image-of "disk-$size.img" "expected-$size.dsk")
  mv_run --a "disk-$size.img" -- -i -f "image-$size.dsk"
  expect_stdout "$BANNER$OPENED$QUERIED${INSERTED[MEDIA_OF[size]]}"$'\nReading data...'"$lines"$'\nImage file successfully created.'"$CLOSED"
  expect_status 0
  expect_same_bytes "expected-$size.dsk" "image-$size.dsk"
done
expect_no_stray_files .

# The default name, and the all-zero disk of the format's worked example.
CASE="all-zero 1.44 MB disk into Image.dsk"
truncate -s 1474560 zero.img
mv_run --a zero.img -- -i
expect_status 0
CHECKS=$((CHECKS + 1))
[[ $(stat -c %s Image.dsk) -eq 1505 ]] || fail "Image.dsk is $(stat -c %s Image.dsk) bytes, expected 1505"
CHECKS=$((CHECKS + 1))
[[ $(od -An -tx1 -j1491 Image.dsk | tr -d ' \n') == 0100e105000002000100342a5b3d ]] || fail "end record differs"

# Imaging and rescuing never open the drive for writing: an original stays as it was.
if command -v strace >/dev/null; then
  for job in "-i" "-i -r"; do
    CASE="$job opens the drive read-only"
    read -ra switches <<<"$job"
    ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" MENDAROVEL=strace \
      mv_run --a zero.img -- -qq -e trace=open,openat -o "$WORK/opens" "$MENDAROVEL" "${switches[@]}" -f Image.dsk
    expect_status 0
    CHECKS=$((CHECKS + 1))
    [[ $(grep -c '"/dev/fd0", O_RDONLY' opens) -ge 1 && $(grep -c '"/dev/fd0", O_RDWR' opens) -eq 0 ]] ||
      fail "the drive was opened so: $(grep /dev/fd0 opens)"
  done
fi

# Failures leave an existing image exactly as it was, and no stray file.
printf 'an earlier image' >keep.dsk
cp keep.dsk keep.orig

CASE="no drive: existing image untouched"
mv_run -- -i -f keep.dsk
expect_status 2
expect_same_bytes keep.orig keep.dsk

CASE="unreadable medium: existing image untouched"
truncate -s 5000 odd.img
mv_run --a odd.img -- -i -f keep.dsk
expect_stdout "$BANNER$OPENED"$'\nQuerying media information...failed\nERROR: Wrong medium type'"$DISK_NOT_READ$CLOSED"
expect_status 2
expect_same_bytes keep.orig keep.dsk
expect_no_stray_files .

CASE="missing folder, percent signs printed as they are"
mv_run --a zero.img -- -i -f 'no%such%d/dir%s/x.dsk'
expect_stdout "$BANNER$OPENED"$'\nERROR: Image file \'no%such%d/dir%s/x.dsk\' could not be created.'"$CLOSED"
expect_status 2

CASE="a folder as the target"
mkdir folder.dsk
mv_run --a zero.img -- -i -f folder.dsk
expect_stdout "$BANNER$OPENED"$'\nERROR: Image file \'folder.dsk\' could not be created.'"$CLOSED"
expect_status 2
CHECKS=$((CHECKS + 1))
[[ -d folder.dsk ]] || fail "folder.dsk is gone"
expect_no_stray_files .

# Another user's world-writable image in a sticky folder (as in /tmp) can be
# written but not replaced: refused before the disk is read, not after.
if (($(id -u) == 0)); then
  CASE="another user's image in a sticky folder"
  chmod 711 "$WORK" && chmod 644 zero.img && mkdir -m 1777 sticky
  printf 'their image' >sticky/theirs.dsk
  chown 1234:1234 sticky/theirs.dsk && chmod 666 sticky/theirs.dsk
  MENDAROVEL=setpriv mv_run --a zero.img -- --reuid=4321 --regid=4321 --clear-groups "$MENDAROVEL" -i -f sticky/theirs.dsk
  expect_stdout "$BANNER$OPENED"$'\nERROR: Image file \'sticky/theirs.dsk\' could not be created.'"$CLOSED"
  expect_status 2
  CHECKS=$((CHECKS + 1))
  grep -qx 'mendarovel: sticky/theirs.dsk: Operation not permitted' "$WORK/stderr" || fail "standard error: $(cat "$WORK/stderr")"
  CHECKS=$((CHECKS + 1))
  [[ $(cat sticky/theirs.dsk) == 'their image' && $(ls -A sticky) == theirs.dsk ]] || fail "sticky/ holds $(ls -A sticky)"
fi

# A full disk while writing: the old image stays, nothing half-written remains.
CASE="full target disk"
kit disk busy.img 1474560
head -c 100000 /dev/urandom >old.dsk
MV_SMALL_FS="$WORK/small:300k" MV_SEED="$WORK/old.dsk" \
  MV_AFTER="cmp $WORK/small/old.dsk $WORK/old.dsk && echo SAME; ls $WORK/small" \
  mv_run --a busy.img -- -i -f "$WORK/small/old.dsk"
CHECKS=$((CHECKS + 1))
grep -qx SAME "$WORK/after" || fail "the old image changed: $(cat "$WORK/after")"
CHECKS=$((CHECKS + 1))
[[ $(grep -c . "$WORK/after") -eq 2 ]] || fail "files left on the full disk: $(cat "$WORK/after")"
CHECKS=$((CHECKS + 1))
grep -q $'^Image file could not be written.$' "$WORK/stdout" || fail "no write failure reported: $(cat "$WORK/stdout")"
expect_status 2

# A rescue's image that does not fit: its write says "failed", the file stays.
CASE="full target disk during a rescue"
kit unreadable image-1474560.dsk listed.dsk 5
rm -f "$WORK/after"
MV_SMALL_FS="$WORK/small-rescue:$(($(stat -c %s listed.dsk) / 1024 + 64))k" MV_SEED="$WORK/listed.dsk" \
  MV_AFTER="cmp $WORK/small-rescue/listed.dsk $WORK/listed.dsk && echo SAME; ls -A $WORK/small-rescue" \
  mv_run --a disk-1474560.img -- -i -r -f "$WORK/small-rescue/listed.dsk"
expect_status 2
CHECKS=$((CHECKS + 1))
[[ $(cat "$WORK/after") == $'SAME\nlisted.dsk' ]] || fail "the full disk holds: $(cat "$WORK/after")"
CHECKS=$((CHECKS + 1))
[[ $(cat "$WORK/stdout") == *$'\nWriting image data to file...failed\nImage file could not be written.'"$CLOSED" ]] ||
  fail "standard output ends: $(tail -3 "$WORK/stdout")"

# Only a regular file is ever replaced; anything else is refused before the
# disk is read and stays as it was. A FIFO must not hang the run.
mkfifo pipe.dsk
for target in /dev/null pipe.dsk; do
  CASE="$target as the target"
  MV_TIMEOUT=20 MV_AFTER="stat -c %F $target" mv_run --a zero.img -- -i -f "$target"
  expect_stdout "$BANNER$OPENED"$'\nERROR: Image file \''"$target"$'\' could not be created.'"$CLOSED"
  expect_status 2
  CHECKS=$((CHECKS + 1))
  [[ $(tail -1 "$WORK/after") == *special\ file || $(tail -1 "$WORK/after") == fifo ]] ||
    fail "$target is now a $(tail -1 "$WORK/after")"
done
CASE="a FIFO as the image to restore"
MV_TIMEOUT=20 mv_run --a zero.img -- -d -f pipe.dsk
expect_stdout "$BANNER$OPENED"$'\nERROR: Image file \'pipe.dsk\' could not be opened.'"$CLOSED"
expect_status 2
expect_no_stray_files .

# A link stays a link: the file it leads to gets the new image and keeps its
# mode and owner; a new file gets the mode any new file gets.
CASE="a relative link in another folder as the target"
mkdir links
printf 'the image behind the link' >behind.dsk
chmod 0604 behind.dsk
owner=$(stat -c %u:%g behind.dsk)
if (($(id -u) == 0)); then  # only root may give a file away
  owner=1234:5678
  chown "$owner" behind.dsk
fi
ln -s ../behind.dsk links/link.dsk
mv_run --a zero.img -- -i -f links/link.dsk
expect_status 0
CHECKS=$((CHECKS + 1))
[[ -L links/link.dsk && $(readlink links/link.dsk) == ../behind.dsk ]] || fail "the link was replaced"
CHECKS=$((CHECKS + 1))
[[ $(stat -c '%s %a %u:%g' behind.dsk) == "1505 604 $owner" ]] ||
  fail "behind.dsk is $(stat -c '%s %a %u:%g' behind.dsk)"
expect_no_stray_files .

CASE="a name of 254 bytes, made with umask 027"
long=$(printf 'n%.0s' {1..250}).dsk
(umask 027 && mv_run --a zero.img -- -i -f "$long" && echo "$STATUS" >long.status)
STATUS=$(cat long.status)
expect_status 0
CHECKS=$((CHECKS + 1))
[[ $(stat -c '%s %a' "$long") == '1505 640' ]] || fail "the new image is $(stat -c '%s %a' "$long" 2>&1)"
rm -f "$long"
expect_no_stray_files .

CASE="a successful run replaces the old image"
mv_run --a zero.img -- -i -f keep.dsk
expect_status 0
CHECKS=$((CHECKS + 1))
[[ $(stat -c %s keep.dsk) -eq 1505 ]] || fail "keep.dsk was not replaced"

finish
