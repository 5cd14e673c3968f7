#!/usr/bin/env bash
# Collections: a session (-b) of disks changed between prompts, with the
# record beside each image (-m) and the CSV log of every job (-l).
source "$(dirname "$0")/lib.sh"

prompt() {  # prompt NAME: the session's prompt before a disk for NAME in drive A:
  printf '\nInsert the disk for %s into drive A:, type its note and press Enter (q to end): ' "$1"
}

# session DRIVE ARGS...: runs the program with that drive and its standard
# input a FIFO; before answering the Kth prompt it keeps the drive's contents
# as drive-after-(K-1).img, puts STEP[K-1]'s file (before the |) into the
# drive in place, and answers its line (after the |); EOF closes the input,
# INT sends Ctrl-C instead.
session() {
  local drive=$1 k=0 step file line pid job
  shift
  rm -f input && mkfifo input
  set -m  # SIGINT at its default, as from a shell's prompt
  { mv_run --a "$drive" -- "$@" <input; echo "$STATUS" >status; } &
  job=$!
  set +m
  exec 7>input
  for step in "${STEPS[@]}"; do
    k=$((k + 1))
    for _ in $(seq 300); do
      (($(grep -o 'press Enter' stdout 2>/dev/null | wc -l) >= k)) && break
      sleep 0.1
    done
    cp "$drive" "drive-after-$((k - 1)).img"
    file=${step%%|*} line=${step#*|}
    [[ -n $file ]] && cat "$file" >"$drive"
    if [[ $line == EOF ]]; then
      break
    elif [[ $line == INT ]]; then
      # This session's program: another test may run the same one meanwhile.
      pid=$(program_pid "$job") && kill -INT "$pid"
      wait  # the input stays open: the session ends by the Ctrl-C alone
      break
    fi
    printf '%s\n' "$line" >&7
  done
  exec 7>&-
  wait
  STATUS=$(cat status)
}

# expect_record IMAGE RAW NOTE JOB...: the record beside IMAGE agrees with
# the raw disk, the image file, the note and the jobs of its runs.
expect_record() {
  CHECKS=$((CHECKS + 1))
  local problems
  problems=$(kit record-check "${1%.*}.json" "$2" "$1" "$3" "${@:4}")
  [[ -z $problems ]] || fail "record of $1: $problems"
}

# expect_log LINE...: the log, parsed as CSV, with the times cut off.
expect_log() {
  CHECKS=$((CHECKS + 1))
  local rows
  rows=$(kit csv-rows log.csv | cut -d'|' -f3-)
  [[ $rows == "$(printf '%s\n' "$@")" ]] || fail "log rows:"$'\n'"$rows"
}

HEADER='job|drive|file|note|result|exit_status|unreadable|sha256'
sha() { sha256sum <"$1" | cut -d' ' -f1; }

for seed in 1 2 3 4; do kit disk "disk$seed.img" 737280 "$seed"; done
truncate -s 5000 odd.img
cp disk1.img drive.img

CASE="a session of three disks around an earlier box-002.dsk"
printf 'an earlier disk' >box-002.dsk
STEPS=("disk1.img|first label" "disk2.img|  comma, \"quoted\"  " "odd.img|" "disk3.img|third" "|q")
session drive.img -i -b -f box-001.dsk -l log.csv
expect_status 2
opened="$OPENED$QUERIED${INSERTED[5]}"$'\nReading data...'
done_lines=$'\nImage file successfully created.'"$CLOSED"
expected="$BANNER$(prompt box-001.dsk)$opened$(kit image-of disk1.img expected1.dsk)$done_lines"
expected+="$(prompt box-003.dsk)$opened$(kit image-of disk2.img expected2.dsk)$done_lines"
expected+="$(prompt box-004.dsk)$OPENED"$'\nQuerying media information...failed\nERROR: Wrong medium type'"$DISK_NOT_READ$CLOSED"
expected+="$(prompt box-004.dsk)$opened$(kit image-of disk3.img expected3.dsk)$done_lines"
expected+="$(prompt box-005.dsk)"$'\nImages written: 3, listing unreadable sectors: 0, disks failed: 1.'
expect_stdout "$expected"
expect_same_bytes expected1.dsk box-001.dsk
expect_same_bytes expected2.dsk box-003.dsk
expect_same_bytes expected3.dsk box-004.dsk
CHECKS=$((CHECKS + 1))
[[ $(cat box-002.dsk) == 'an earlier disk' ]] || fail "box-002.dsk changed"
expect_record box-001.dsk disk1.img "first label" image
expect_record box-003.dsk disk2.img 'comma, "quoted"' image
expect_record box-004.dsk disk3.img third image
expect_absent box-002.json box-005.dsk
expect_log "$HEADER" "image|A:|box-001.dsk|first label|complete|0|0|$(sha disk1.img)" \
  "image|A:|box-003.dsk|comma, \"quoted\"|complete|0|0|$(sha disk2.img)" \
  "image|A:|box-004.dsk||failed|2|0|" "image|A:|box-004.dsk|third|complete|0|0|$(sha disk3.img)"
expect_no_stray_files .

CASE="the same session again: end of input after one disk fills the next name"
STEPS=("disk4.img|" "|EOF")
session drive.img -i -b -f box-001.dsk -l log.csv
expect_status 0
expect_record box-005.dsk disk4.img "" image
CHECKS=$((CHECKS + 1))
[[ $(tail -c 200 stdout) == *"$(prompt box-006.dsk)"$'\nImages written: 1, listing unreadable sectors: 0, disks failed: 0.' ]] ||
  fail "no summary after the end of input: $(tail -c 200 stdout)"

CASE="Ctrl-C at the prompt ends the session, all before it whole"
rm -f log.csv
STEPS=("disk1.img|a" "|INT")
session drive.img -i -b -f 'dir-less name 7.dsk' -l log.csv
expect_status 2
expect_record 'dir-less name 7.dsk' disk1.img a image
expect_log "$HEADER" "image|A:|dir-less name 7.dsk|a|complete|0|0|$(sha disk1.img)"
CHECKS=$((CHECKS + 1))
[[ $(tail -c 300 stdout) == *"$INTERRUPT"$'\n\nImages written: 1, listing unreadable sectors: 0, disks failed: 0.' ]] ||
  fail "Ctrl-C at the prompt: $(tail -c 200 stdout)"

CASE="copies: two verified, then one onto a disk of another size"
rm -f log.csv
truncate -s 737280 blank.img
cp blank.img drive.img
truncate -s 368640 small.img
STEPS=("|1" "blank.img|2" "small.img|3" "|q")
session drive.img -d -b -c -f box-001.dsk -l log.csv
expect_status 2
expect_same_bytes disk1.img drive-after-1.img
expect_same_bytes disk1.img drive-after-2.img
expect_log "$HEADER" "restore|A:|box-001.dsk|1|verified|0|0|$(sha disk1.img)" \
  "restore|A:|box-001.dsk|2|verified|0|0|$(sha disk1.img)" "restore|A:|box-001.dsk|3|failed|2|0|$(sha disk1.img)"
CHECKS=$((CHECKS + 1))
[[ $(tail -c 300 stdout) == *$'\nCopies written: 2, with sectors not written: 0, copies failed: 1.' ]] ||
  fail "copies summary: $(tail -c 200 stdout)"

# Single jobs: -m writes a record, -i -r -m adds a run when the rescue changed
# the image, and without the new switches nothing else is written.
CASE="-i -m, then -i -r -m on an image that lists sectors as unreadable"
mv_run --a disk2.img -- -i -m -f single.dsk
expect_status 0
expect_record single.dsk disk2.img "" image
kit unreadable single.dsk single.dsk 5 700
cp single.json before.json
mv_run --a disk2.img -- -i -r -m -f single.dsk -l log.csv
expect_status 0
expect_record single.dsk disk2.img "" image rescue
CHECKS=$((CHECKS + 1))
kit json-fields single.json | grep -Fx 'unreadable_sectors=[]' >/dev/null || fail "the rescue left unreadable sectors in the record"
CHECKS=$((CHECKS + 1))
grep -q '"rescued_sectors": \[' single.json || fail "no rescued sectors in: $(cat single.json)"
CASE="check --record: passes untouched, fails after a rescue without -m and on another disk's image"
"$MENDAROVEL_IMAGE" check single.dsk --record single.json >/dev/null
STATUS=$? expect_status 0
# The rescue reads sector 9 from a drive where it now holds other bytes.
kit unreadable single.dsk single.dsk 9
kit flip disk2.img changed.img $((9 * 512 + 3))
mv_run --a changed.img -- -i -r -f single.dsk
expect_status 0
"$MENDAROVEL_IMAGE" check single.dsk --record single.json >/dev/null 2>check.err
STATUS=$? expect_status 2
CHECKS=$((CHECKS + 1))
grep -q 'record single.json: md5, sha1, sha256, sha512, image_sha256$' check.err ||
  fail "the refusal names not every hash: $(cat check.err)"
cp box-001.dsk single.dsk
"$MENDAROVEL_IMAGE" check single.dsk --record single.json >/dev/null 2>&1
STATUS=$? expect_status 2

# A power cut must not bring an old image back once success was printed:
# the folder is flushed after each rename, before the line that reports it.
CASE="the folder flushed after the image's and the record's rename"
if command -v strace >/dev/null; then
  export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
  "${MV_UNSHARE[@]}" bash "$E2E_DIR/../blackbox/in_namespace.sh" "$(realpath disk1.img)" '' strace -o trace -s 64 \
    -e trace=rename,renameat,renameat2,openat,fsync,write "$MENDAROVEL" -i -m -f durable.dsk >/dev/null 2>&1
  for name in durable.dsk durable.json; do
    CHECKS=$((CHECKS + 1))
    order=$(grep -n -e "rename.*\"$name\"" -e 'O_DIRECTORY' -e '^fsync' -e 'successfully created' trace |
      grep -A2 "rename.*$name" | cut -d: -f2- | cut -c1-12 | tr '\n' ' ')
    [[ $order == "rename"*" openat(AT_FD fsync("* ]] || fail "after the rename of $name: $order"
  done
  CHECKS=$((CHECKS + 1))
  [[ $(grep -n -e 'rename.*"durable.dsk"' -e 'successfully created' trace | cut -d: -f2 | cut -c1-6 | tr '\n' ' ') == \
    "rename write( " ]] || fail "success printed before the image was in place"
fi

CASE="a log that cannot be opened is refused before the disk is read"
mkdir folder.csv
mv_run --a disk1.img -- -i -f never.dsk -l folder.csv
expect_status 2
expect_stdout "$BANNER"
expect_absent never.dsk
CASE="-l without a file name prints the usage text"
mv_run --a disk1.img -- -i -l
expect_status 1
expect_stdout "$BANNER$USAGE"

CASE="without the new switches, -i writes the image and nothing else"
mkdir plain && cd plain || exit 1
mv_run --a ../disk1.img -- -i -f plain.dsk
expect_status 0
CHECKS=$((CHECKS + 1))
[[ $(ls -A) == plain.dsk ]] || fail "files written: $(ls -A)"
cd .. || exit 1

finish
