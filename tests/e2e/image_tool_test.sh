#!/usr/bin/env bash
# mendarovel-image as users run it: round trips against the copy program,
# hashes against md5sum and sha256sum, the verdicts of check on the fuzzers'
# corpus, what the damage hit on FAT disks made with mtools (files, extract,
# map), and refusals that write nothing.
#
# MENDAROVEL_IMAGE is the tool, MENDAROVEL_IMAGE_RUNNER what runs it (wine64
# for the Windows build). With MENDAROVEL set, import is held to the image
# that `mendarovel -i` makes of a drive holding the disk; without it (under
# Wine) to the kit's image of it, which the imaging tests hold to the same bytes.
: "${MENDAROVEL_IMAGE:?path of the built tool}"
MENDAROVEL_IMAGE=$(realpath "$MENDAROVEL_IMAGE")  # the checks run in a folder of their own
E2E_DIR=${E2E_DIR:-$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)}
if [[ -n ${MENDAROVEL:-} ]]; then
  source "$E2E_DIR/lib.sh"
else
  source "$E2E_DIR/../kit/checks.sh"
fi
read -ra RUNNER <<<"${MENDAROVEL_IMAGE_RUNNER:-}"

# run_tool ARGS...: $WORK/stdout.raw holds the bytes as written, $WORK/stdout
# and $WORK/stderr the text with Windows line ends made plain; $STATUS.
run_tool() {
  "${RUNNER[@]}" "$MENDAROVEL_IMAGE" "$@" </dev/null >"$WORK/stdout.raw" 2>"$WORK/stderr.raw"
  STATUS=$?
  tr -d '\r' <"$WORK/stdout.raw" >"$WORK/stdout"
  tr -d '\r' <"$WORK/stderr.raw" >"$WORK/stderr"
}

# expect_stderr TEXT: the whole standard error, one line.
expect_stderr() {
  CHECKS=$((CHECKS + 1))
  [[ $(cat "$WORK/stderr") == "$1" ]] || fail "standard error: $(cat "$WORK/stderr"), expected: $1"
}

# reference_image DISK IMAGE: what imaging a drive holding DISK gives.
reference_image() {
  if [[ -n ${MENDAROVEL:-} ]]; then
    mv_run --a "$1" -- -i -f "$2"
    expect_status 0
  else
    kit image-of "$1" "$2" >/dev/null
  fi
}

# run_json ARGS...: runs the tool and keeps each field of the JSON object it
# prints as a line "FIELD=VALUE" (the value as compact JSON) in $WORK/fields.
run_json() {
  run_tool "$@"
  kit json-fields "$WORK/stdout" >"$WORK/fields" 2>&1
}

# expect_json FIELD VALUE
expect_json() {
  CHECKS=$((CHECKS + 1))
  grep -qFx -- "$1=$2" "$WORK/fields" || fail "no $1=$2 in: $(cat "$WORK/fields")"
}

for capacity in "1474560 512 18 2 80 2" "1261568 1024 8 2 77 18"; do
  read -r size bytes sectors heads cylinders media <<<"$capacity"
  kit disk "disk-$size.img" "$size"
  reference_image "disk-$size.img" "drive-$size.dsk"

  CASE="import of a $size-byte raw disk"
  run_tool import "disk-$size.img" "imported-$size.dsk"
  expect_status 0
  expect_stdout ""
  expect_same_bytes "drive-$size.dsk" "imported-$size.dsk"

  CASE="export of a $size-byte disk's image"
  run_tool export "drive-$size.dsk" "exported-$size.img"
  expect_status 0
  expect_same_bytes "disk-$size.img" "exported-$size.img"
  run_tool export "drive-$size.dsk" -
  expect_status 0
  expect_same_bytes "disk-$size.img" "$WORK/stdout.raw"

  CASE="info --json of a $size-byte disk's image"
  run_json info "drive-$size.dsk" --json
  expect_status 0
  expect_json md5 "\"$(md5sum <"exported-$size.img" | cut -d' ' -f1)\""
  expect_json sha1 "\"$(sha1sum <"exported-$size.img" | cut -d' ' -f1)\""
  expect_json sha256 "\"$(sha256sum <"exported-$size.img" | cut -d' ' -f1)\""
  expect_json sha512 "\"$(sha512sum <"exported-$size.img" | cut -d' ' -f1)\""
  expect_json geometry "{\"bytes_per_sector\": $bytes, \"sectors_per_track\": $sectors, \"heads\": $heads, \"cylinders\": $cylinders, \"media_type\": $media}"
  expect_json media "$(kit json-text "${MEDIA[media]}")"
  expect_json raw_size "$size"
  expect_json image_size "$(stat -c %s "drive-$size.dsk")"
  expect_json stored_size "$(($(stat -c %s "drive-$size.dsk") - 53))"
  expect_json compressed true
  CHECKS=$((CHECKS + 1))
  order=$(cut -d= -f1 "$WORK/fields" | tr '\n' ' ')
  [[ $order == "file format_version image_offset image_size geometry media file_system label raw_size stored_size ratio compressed unreadable_sectors unreadable_list_damaged md5 sha1 sha256 sha512 " ]] ||
    fail "fields in the order: $order"
done

# An image appended to other bytes that lists two unreadable sectors of a 720 KB disk.
kit disk disk-737280.img 737280
reference_image disk-737280.img drive-737280.dsk
kit unreadable drive-737280.dsk listed.dsk 5 1439
{ head -c 777 /dev/zero | tr '\0' x; cat listed.dsk; } >appended.dsk
CASE="info of an appended image with unreadable sectors"
run_tool info appended.dsk
expect_status 0
# expect_lines LINE...: each is a whole line of standard output.
expect_lines() {
  local line
  for line in "$@"; do
    CHECKS=$((CHECKS + 1))
    grep -qFx -- "$line" "$WORK/stdout" || fail "no line '$line' in: $(cat "$WORK/stdout")"
  done
}
expect_lines "Image starts at:     byte 777 of the file" "Unreadable sectors:  2" \
  "                     cyl 1, sect 6, head 1" "                     cyl 80, sect 9, head 2" \
  "MD5:                 $(md5sum <disk-737280.img | cut -d' ' -f1)" \
  "SHA-512:             $(sha512sum <disk-737280.img | cut -d' ' -f1)" \
  "Media type:          5, ${MEDIA[5]}"
run_json info appended.dsk --json
expect_json image_offset 777
expect_json unreadable_sectors '[{"cylinder": 1, "sector": 6, "head": 1}, {"cylinder": 80, "sector": 9, "head": 2}]'
expect_json unreadable_list_damaged false
# One flipped bit in the list (sector 101 as 101 + 2^31): no count can be given.
CASE="info of an image whose list of unreadable sectors is damaged"
kit unreadable drive-737280.dsk damaged-list.dsk 100 $((101 + 2147483648))
run_tool info damaged-list.dsk
expect_status 0
expect_lines "Unreadable sectors:  unknown: the image's list of them is damaged and ignored"
run_json info damaged-list.dsk --json
expect_json unreadable_sectors '[]'
expect_json unreadable_list_damaged true
CASE="export of an appended image"
run_tool export appended.dsk appended.img
expect_same_bytes disk-737280.img appended.img

# check gives the restore's verdict, and says what is wrong.
python3 "$E2E_DIR/../../fuzz/make_corpus" corpus
while IFS='|' read -r seed status verdict; do
  CASE="check of $seed"
  run_tool check "corpus/image/$seed"
  expect_stdout "corpus/image/$seed: $verdict"$'\n'
  expect_status "$status"
done <<'EOF_VERDICTS'
leading_bytes|0|valid (compressed, checksum correct)
v21_raw|0|valid (raw data, no checksum to verify)
unreadable|0|valid (compressed, checksum correct; 3 sectors were unreadable when it was made)
unreadable_ragged|0|valid (compressed, checksum correct; its list of unreadable sectors is damaged and ignored)
v30_compressed|0|valid (compressed, checksum correct)
wrong_magic|2|invalid: not an image file (no image trailer at its end; truncated?)
total_beyond_file|2|invalid: invalid file structure (the trailer gives an image of 336 bytes, the file has 335)
no_data|2|invalid: the image holds no disk data
empty_geometry|2|invalid: the geometry holds no sector
geometry_over_32_bits|2|invalid: the geometry describes a disk of 4 GB or more
raw_too_long|2|invalid: the raw data holds 600 bytes, the geometry needs 512
expands_too_short|2|invalid: the compressed data expands to 500 bytes, the geometry needs 512
zlib_bad_checksum|2|invalid: the compressed data is damaged (incorrect data check)
zlib_cut|2|invalid: the compressed data ends early
EOF_VERDICTS

# A record the reader does not use is skipped unread: a 1 GiB hole in a sparse
# file costs neither memory nor time (peak resident set in KiB, seconds).
if [[ -z ${RUNNER[*]} ]]; then
  python3 - <<'EOF_SPARSE'
import struct
body = open("drive-1474560.dsk", "rb").read()[:-14]
with open("sparse.dsk", "wb") as image:
    image.write(body + struct.pack("<HI", 0x7777, 1 << 30))
    image.seek(1 << 30, 1)
    image.write(struct.pack("<HIHHI", 1, len(body) + 6 + (1 << 30) + 14, 2, 1, 0x3D5B2A34))
EOF_SPARSE
  CASE="check of an image with a 1 GiB unused record"
  read -r peak seconds < <(python3 -c '
import resource, subprocess, sys, time
start = time.monotonic()
subprocess.run(sys.argv[1:], stdout=open(sys.argv[-1] + ".out", "w"))
print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss, time.monotonic() - start)' \
    "$MENDAROVEL_IMAGE" check sparse.dsk)
  CHECKS=$((CHECKS + 1))
  [[ $(cat sparse.dsk.out) == "sparse.dsk: valid (compressed, checksum correct)" ]] ||
    fail "verdict: $(cat sparse.dsk.out)"
  CHECKS=$((CHECKS + 1))
  ((peak < 100 * 1024)) && python3 -c "import sys; sys.exit(float(sys.argv[1]) >= 2)" "$seconds" ||
    fail "peak $peak KiB, $seconds s"
  rm -f sparse.dsk sparse.dsk.out
fi

CASE="check of a raw disk"
run_tool check disk-737280.img
expect_stdout "disk-737280.img: invalid: not an image file (no image trailer at its end; a raw disk of a standard size? import makes an image of it)"$'\n'
expect_status 2

# What the damage hit (files, extract, map) on FAT12 disks made with mtools.
# The Windows program reads no file systems: files and extract say so.
if command -v mformat >/dev/null && command -v ddrescuelog >/dev/null; then
  # place INDEX: "cylinder/head/sector" of a 1.44 MB disk's 0-based sector.
  place() { echo "$(($1 / 36 + 1))/$(($1 / 18 % 2 + 1))/$(($1 % 18 + 1))"; }
  mkdir -p in/SUB
  head -c 5000 /dev/urandom >in/A.BIN
  head -c 20000 /dev/urandom >in/SUB/BIG.BIN
  echo "a note" >in/NOTE.TXT
  cp in/NOTE.TXT in/DEL.TXT
  for name in a.a.a.ONE.TX a.a.a.TWO.TX x.x.x.EV.TXT; do echo "$name" >"in/$name"; done
  touch -d "2001-02-03 04:05:06" in/* in/SUB/*
  mformat -C -f 1440 -v DAMAGED -N 1234ABCD -i fat.img ::
  mmd -i fat.img ::/SUB
  mcopy -m -i fat.img in/A.BIN in/NOTE.TXT in/DEL.TXT ::/
  mcopy -m -i fat.img in/SUB/BIG.BIN ::/SUB/
  mdel -i fat.img ::/DEL.TXT
  a_lost=$(kit file-sector fat.img in/A.BIN)
  big_lost=$(kit file-sector fat.img in/SUB/BIG.BIN)
  # Sector 1 holds the chains in FAT 1; 2000 and 2001 lie in free space.
  lost=(1 "$a_lost" "$big_lost" 2000 2001)
  cp fat.img lost.img
  for sector in "${lost[@]}"; do dd if=/dev/zero of=lost.img bs=512 seek="$sector" count=1 conv=notrunc status=none; done
  kit image-of lost.img lost.dsk "${lost[@]}" >/dev/null
  kit image-of fat.img clean.dsk >/dev/null
  cp fat.img fat1.img
  dd if=/dev/zero of=fat1.img bs=512 seek=1 count=1 conv=notrunc status=none
  kit image-of fat1.img fat1.dsk 1 >/dev/null
  head -c 1474560 /dev/urandom >random.img
  kit image-of random.img random.dsk >/dev/null

  CASE="map of a disk with unreadable sectors"
  run_tool map lost.dsk --svg lost.svg --ddrescue lost.map
  expect_status 0
  CHECKS=$((CHECKS + 3))
  [[ $(ddrescuelog -b512 -l- lost.map) == "$(printf '%s\n' "${lost[@]}" | sort -n)" ]] ||
    fail "ddrescuelog lists: $(ddrescuelog -b512 -l- lost.map)"
  python3 -c 'import sys, xml.dom.minidom; xml.dom.minidom.parse(sys.argv[1])' lost.svg || fail "lost.svg is not XML"
  [[ $(grep '^h' "$WORK/stdout" | tr -cd X | wc -c) -eq ${#lost[@]} && $(grep -c $'\033' "$WORK/stdout") -eq 0 ]] ||
    fail "grid: $(cat "$WORK/stdout")"
  CASE="map of a clean disk"
  run_tool map clean.dsk
  expect_status 0
  CHECKS=$((CHECKS + 1))
  [[ $(grep -c '^h[12] s' "$WORK/stdout") -eq 36 && $(grep '^h' "$WORK/stdout" | grep -c X) -eq 0 ]] ||
    fail "grid: $(cat "$WORK/stdout")"

  if [[ -n ${RUNNER[*]} ]]; then
    for command in "files lost.dsk" "extract lost.dsk out"; do
      CASE="$command in a build without file systems"
      read -ra argv <<<"$command"
      run_tool "${argv[@]}"
      expect_status 2
      expect_stderr "mendarovel-image: ${argv[0]}: not available in this build, which reads no file systems"
    done
    expect_absent out
  else
    CASE="files of a disk with lost sectors in two files, FAT 1 and free space"
    run_json files lost.dsk --json
    expect_status 3
    expect_json file_system '"FAT12"'
    expect_json label '"DAMAGED"'
    expect_json serial '"1234-ABCD"'
    expect_json system_areas '[{"area": "FAT 1", "unreadable_sectors": [{"cylinder": 1, "sector": 2, "head": 1}]}]'
    expect_json free_unreadable_sectors '[{"cylinder": 56, "sector": 3, "head": 2}, {"cylinder": 56, "sector": 4, "head": 2}]'
    CHECKS=$((CHECKS + 1))
    expected_files="/SUB/ intact live 1 
/A.BIN damaged live 10 $(place "$a_lost")
/NOTE.TXT intact live 1 
/_EL.TXT intact deleted 1 
/SUB/BIG.BIN damaged live 40 $(place "$big_lost")"
    [[ $(kit files-lines "$WORK/stdout") == "$expected_files" ]] || fail "files: $(kit files-lines "$WORK/stdout")"
    run_tool files lost.dsk
    expect_status 3
    CHECKS=$((CHECKS + 1))
    grep -qx "2 of 4 files and folders damaged, 2 unreadable sectors in free space" "$WORK/stdout" ||
      fail "no summary line in: $(cat "$WORK/stdout")"

    CASE="extract of a disk with lost sectors"
    run_tool extract lost.dsk out
    expect_status 3
    expect_stdout "Damaged: /A.BIN (1 sector lost, written as zeros)
Damaged: /SUB/BIG.BIN (1 sector lost, written as zeros)
Extracted 3 files and 1 folder: 2 damaged, 0 refused.
"
    expect_same_bytes in/NOTE.TXT out/NOTE.TXT
    kit zeroed fat.img in/A.BIN "$a_lost" A.expected
    kit zeroed fat.img in/SUB/BIG.BIN "$big_lost" BIG.expected
    expect_same_bytes A.expected out/A.BIN
    expect_same_bytes BIG.expected out/SUB/BIG.BIN
    expect_absent out/DEL.TXT out/_EL.TXT
    CHECKS=$((CHECKS + 1))
    [[ $(stat -c %Y out/NOTE.TXT out/SUB/BIG.BIN | sort -u) == "$(stat -c %Y in/NOTE.TXT)" ]] ||
      fail "times: $(stat -c "%n %y" out/NOTE.TXT out/SUB/BIG.BIN)"
    CASE="extract into a folder that is not empty"
    run_tool extract lost.dsk out
    expect_status 2
    expect_stderr "mendarovel-image: out: is not empty (extract writes only into an empty or new folder)"

    CASE="files of a disk whose FAT 1 lost the sector with the chains"
    run_json files fat1.dsk --json
    expect_status 3
    expect_json system_areas '[{"area": "FAT 1", "unreadable_sectors": [{"cylinder": 1, "sector": 2, "head": 1}]}]'
    CHECKS=$((CHECKS + 1))
    [[ $(kit files-lines "$WORK/stdout" | grep -c ' intact live ') -eq 4 ]] || fail "files: $(kit files-lines "$WORK/stdout")"
    CASE="extract of that disk"
    run_tool extract fat1.dsk fat1-out
    expect_status 0
    expect_same_bytes in/A.BIN fat1-out/A.BIN
    expect_same_bytes in/SUB/BIG.BIN fat1-out/SUB/BIG.BIN

    CASE="a disk that holds no file system"
    for command in "files random.dsk" "extract random.dsk nothing"; do
      read -ra argv <<<"$command"
      run_tool "${argv[@]}"
      expect_status 2
      expect_stderr "mendarovel-image: random.dsk: the disk holds no FAT file system that can be read"
    done
    expect_absent nothing
    run_json info random.dsk --json
    expect_status 0
    expect_json file_system null
    run_tool map random.dsk
    expect_status 0

    # Names written into the directory by hand: one that climbs out of the
    # folder, and two entries of one name.
    mcopy -m -i fat.img in/a.a.a.ONE.TX in/a.a.a.TWO.TX in/x.x.x.EV.TXT ::/
    kit rename-entry fat.img x.x.x.EV.TXT ../../EV.TXT
    kit rename-entry fat.img a.a.a.TWO.TX a.a.a.ONE.TX
    kit image-of fat.img hostile.dsk >/dev/null
    mkdir -p deep/down
    CASE="extract of hostile names"
    run_tool extract hostile.dsk deep/down/out
    expect_status 3
    expect_stdout "Refused: /a.a.a.ONE.TX (a file or folder of that name was already extracted)
Refused: /../../EV.TXT (its name cannot be written safely here)
Extracted 4 files and 1 folder: 0 damaged, 2 refused.
"
    expect_same_bytes in/a.a.a.ONE.TX deep/down/out/a.a.a.ONE.TX
    CHECKS=$((CHECKS + 1))
    [[ -z $(find "$WORK" -name EV.TXT) ]] || fail "written outside the folder: $(find "$WORK" -name EV.TXT)"
    CASE="info of a FAT disk"
    run_json info hostile.dsk --json
    expect_json file_system '"FAT12"'
    expect_json label '"DAMAGED"'
  fi
else
  echo "note: files, extract and map are not checked (mtools or ddrescuelog missing)"
fi

# Bad input: one line, status 2, nothing written, an existing target untouched.
printf 'an earlier file' >keep
cp keep keep.orig
truncate -s 1000 odd.img
CASE="import of a raw disk of no standard size"
run_tool import odd.img keep
expect_status 2
expect_stdout ""
expect_stderr "mendarovel-image: odd.img: 1000 bytes is no standard floppy size; accepted sizes: 163840, 184320, 327680, 368640, 737280, 1228800, 1261568, 1474560, 1720320, 2949120"
expect_same_bytes keep.orig keep
CASE="export of a damaged image"
run_tool export corpus/image/zlib_bad_checksum keep
expect_status 2
expect_stderr "mendarovel-image: corpus/image/zlib_bad_checksum: the compressed data is damaged (incorrect data check)"
expect_same_bytes keep.orig keep
# A target that is the source itself, through a link or another name, would
# destroy it: refused before anything is written.
cp listed.dsk same.dsk
ln -s same.dsk same-link.img
ln disk-737280.img same-hard.img
for args in "export same.dsk same-link.img" "import disk-737280.img same-hard.img"; do
  CASE="$args"
  read -ra argv <<<"$args"
  run_tool "${argv[@]}"
  expect_status 2
  expect_stderr "mendarovel-image: ${argv[2]}: is the file being read; nothing was written (name another file)"
done
expect_same_bytes listed.dsk same.dsk
expect_same_bytes disk-737280.img same-hard.img
rm same.dsk same-link.img same-hard.img
# A command whose product is what it prints refuses to print into nothing.
for args in "info listed.dsk" "export listed.dsk -" "map listed.dsk"; do
  CASE="$args with standard output closed"
  read -ra argv <<<"$args"
  "${RUNNER[@]}" "$MENDAROVEL_IMAGE" "${argv[@]}" </dev/null >&- 2>"$WORK/stderr.raw"
  STATUS=$?
  tr -d '\r' <"$WORK/stderr.raw" >"$WORK/stderr"
  expect_status 2
  if [[ -z ${RUNNER[*]} ]]; then
    expect_stderr "mendarovel-image: standard output: closed; what the command prints would be lost"
  else  # Wine hands a closed descriptor over as a handle that fails at the first write
    CHECKS=$((CHECKS + 1))
    [[ $(grep -c . "$WORK/stderr") -eq 1 && $(cat "$WORK/stderr") == "mendarovel-image: standard output: "* ]] ||
      fail "standard error: $(cat "$WORK/stderr")"
  fi
done
# Nor does it report success of output that could not be written.
if [[ -z ${RUNNER[*]} ]]; then
  CASE="check with standard output full"
  "$MENDAROVEL_IMAGE" check listed.dsk >/dev/full 2>"$WORK/stderr"
  STATUS=$?
  expect_status 2
  expect_stderr "mendarovel-image: standard output: cannot write: No space left on device"
fi
CASE="export of an image that does not exist"
run_tool export missing.dsk new.img
expect_status 2
expect_absent new.img
CHECKS=$((CHECKS + 1))
[[ $(grep -c . "$WORK/stderr") -eq 1 && $(cat "$WORK/stderr") == "mendarovel-image: missing.dsk: cannot open: "* ]] ||
  fail "standard error: $(cat "$WORK/stderr")"
expect_no_stray_files .

# Wrong usage: on standard error what is wrong, the command's usage line and
# where the help is (one line for a missing or unknown command), status 1.
HELP="(mendarovel-image --help tells more)"
COMMANDS="info, check, export, import, files, extract, map"
while IFS='|' read -r args first second; do
  CASE="usage: '$args'"
  read -ra argv <<<"$args"
  run_tool "${argv[@]}"
  expect_status 1
  expect_stdout ""
  expect_stderr "$first${second:+$'\n'$second}"
done <<EOF_USAGE
|mendarovel-image: a command is needed ($COMMANDS; see mendarovel-image --help)
infoo x|mendarovel-image: unknown command 'infoo' (the commands are $COMMANDS; see mendarovel-image --help)
info|mendarovel-image: FILE is required|usage: mendarovel-image info FILE [--json]   $HELP
export only.dsk|mendarovel-image: RAW is required|usage: mendarovel-image export FILE RAW   $HELP
check a.dsk --json|mendarovel-image: The following argument was not expected: --json|usage: mendarovel-image check FILE [--record RECORD]   $HELP
EOF_USAGE

# Standard output: a reader that has gone away gets nothing more, not even
# why (exit 2); a terminal gets no raw disk (one line, exit 2).
for command in "info appended.dsk" "export appended.dsk -"; do
  CASE="$command into a pipe without a reader"
  read -ra argv <<<"$command"
  python3 -c 'import os, subprocess, sys
read, write = os.pipe()
os.close(read)
sys.exit(subprocess.run(sys.argv[1:], stdin=subprocess.DEVNULL, stdout=write, stderr=open("stderr", "wb")).returncode)' \
    "${RUNNER[@]}" "$MENDAROVEL_IMAGE" "${argv[@]}"
  STATUS=$?
  expect_status 2
  expect_stderr ""
done
if [[ -z ${RUNNER[*]} ]] && command -v script >/dev/null; then
  CASE="export onto a terminal"
  script -qec "$MENDAROVEL_IMAGE export appended.dsk - 2>stderr.raw" /dev/null >/dev/null
  STATUS=$?
  tr -d '\r' <stderr.raw >"$WORK/stderr"
  expect_status 2
  expect_stderr "mendarovel-image: standard output: is a terminal; redirect it (> disk.img) or name a file for the raw disk"
fi

CASE="--version"
run_tool --version
expect_status 0
expect_stdout "$TOOL_VERSION"

finish
