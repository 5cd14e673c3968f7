#!/usr/bin/env bash
# Ctrl-C at each stage of both jobs, as a user presses it, cancels the job
# with exit status 2: the earlier image (or its absence) and the image file
# stay untouched; the disk is either untouched (Ctrl-C before its first
# sector) or holds the sectors written so far and its old contents after them.
# Inside a disk transfer the cancel takes effect at the next sector; in the
# other stages the stage finishes and the job stops before the disk is written
# or the earlier image replaced, also while the new image is being flushed.
# Only a Ctrl-C once the new image has replaced the earlier one lets the job
# run to its end.
#
# Each stage is pinned by holding one system call of the program under strace
# (delay_exit) and sending SIGINT to the program while the call is held:
# strace logs the held call with "(DELAYED)" as the hold begins, so the test
# waits for that line, never for a fixed time.
source "$(dirname "$0")/lib.sh"
under_strace

# How long the pinned call is held: the time the test has to see the hold and
# the handler to set the flags. Nothing races against it but that.
HOLD_US=1500000
SECTOR=512
PINNED_SECTOR=1000

# traced_run DRIVE STRACE_OPTION... -- ARGS...: the program under strace with
# that drive, in the background as $JOB, standard output in $WORK/stdout and
# strace's log in $WORK/trace.
traced_run() {
  local drive=$1
  shift
  local options=()
  while [[ $1 != -- ]]; do options+=("$1"); shift; done
  shift
  rm -f "$WORK/trace"
  # With job control the program starts with SIGINT at its default, as
  # from a shell's prompt, not ignored as a background command's is.
  set -m
  timeout 120 "${MV_UNSHARE[@]}" bash "$E2E_DIR/../blackbox/in_namespace.sh" "$(realpath "$drive")" '' \
    strace -f -qq -o "$WORK/trace" "${options[@]}" "$MENDAROVEL" "$@" >"$WORK/stdout" 2>"$WORK/stderr" &
  JOB=$!
  set +m
}

# interrupt_at DRIVE SYSCALL N STRACE_OPTION... -- ARGS...: holds the main
# thread's Nth call of SYSCALL, sends $SIGNAL (INT unless set) while it is
# held and waits for the program's end; with AGAIN=1 a second SIGINT follows
# once the first one's message is out. Leaves the held call's log line in
# $HELD and the exit status in $STATUS.
interrupt_at() {
  local drive=$1 syscall=$2 n=$3
  shift 3
  traced_run "$drive" -e trace="$syscall" -e inject="$syscall:delay_exit=$HOLD_US:when=$n" "$@"
  HELD=""
  for _ in $(seq 1500); do
    HELD=$(grep -m1 -F '(DELAYED)' "$WORK/trace" 2>/dev/null)
    [[ -n $HELD ]] || ! kill -0 "$JOB" 2>/dev/null && break
    sleep 0.02
  done
  local program=""
  [[ -n $HELD ]] && program=$(program_pid "$JOB")
  if [[ -z $HELD ]]; then
    fail "the program never reached its call $n of $syscall"
  elif [[ -z $program ]]; then
    fail "the program ended while its call was held"
  else
    kill -"${SIGNAL:-INT}" "$program"
    if [[ ${AGAIN:-} == 1 ]]; then
      for _ in $(seq 250); do
        grep -qF "${INTERRUPT#$'\n'}" "$WORK/stdout" && break
        sleep 0.02
      done
      kill -INT "$program"
    fi
  fi
  wait "$JOB"
  STATUS=$?
}

# calibrate DRIVE ARGS...: one run without interrupt, every call traced, kept
# as $WORK/calibration; its output is the reference of the runs to end.
calibrate() {
  local drive=$1
  shift
  traced_run "$drive" -s 256 -- "$@"
  wait "$JOB"
  STATUS=$?
  mv "$WORK/trace" "$WORK/calibration"
}

# expect_held CALL: the held call is CALL, addresses aside.
expect_held() {
  CHECKS=$((CHECKS + 1))
  local held=${HELD#* }
  held=$(sed -E 's/^ +//; s/0x[0-9a-f]+/0x_/g' <<<"$held")
  [[ $held == "$(sed -E 's/0x[0-9a-f]+/0x_/g' <<<"$1")"* ]] || fail "held $HELD, expected $1"
}

# expect_interrupted_stdout TEXT [HANDLERS]: each handler prints a closing
# line break once the job is done, unless the program has ended first; any
# of these is right.
expect_interrupted_stdout() {
  local ends=""
  for _ in $(seq "${2:-1}"); do
    ends+=$'\n'
    if printf '%s' "$1$ends" | cmp -s - "$STDOUT_FILE"; then
      CHECKS=$((CHECKS + 1))
      return
    fi
  done
  expect_stdout "$1"
}

# expect_disk_prefix DISK NEW OLD SECTORS: DISK holds the first SECTORS
# sectors of NEW and OLD's bytes after them.
expect_disk_prefix() {
  CHECKS=$((CHECKS + 1))
  local split=$(($4 * SECTOR))
  if ! cmp -s -n "$split" "$1" "$2"; then
    fail "$1 does not begin with $4 sectors of $2: $(cmp -n "$split" "$1" "$2" 2>&1)"
  elif ! cmp -s -i "$split" "$1" "$3"; then
    fail "$1 changed after sector $4: $(cmp -i "$split" "$1" "$3" 2>&1)"
  fi
}

kit disk source.img 1474560
kit disk other.img 737280 7
mv_run --a other.img -- -i -f earlier.orig
expect_status 0

# --- -i: imaging onto a target that holds an earlier image.
CASE="-i reference run"
cp earlier.orig target.dsk
calibrate source.img -i -f target.dsk
expect_status 0
cp "$WORK/stdout" imaging.stdout
cp target.dsk reference.dsk
reference=$(cat imaging.stdout)
written=$(grep -o 'Writing image data to file\.\.\.ok ([0-9]*kb)' imaging.stdout)

# imaging_interrupted STAGE EXPECTED_STDOUT STATUS EXPECTED_TARGET SYSCALL N CALL STRACE_OPTION...
imaging_interrupted() {
  CASE="-i, Ctrl-C while $1"
  local expected=$2 status=$3 target=$4 call=$7
  shift 4
  cp earlier.orig target.dsk
  interrupt_at source.img "$1" "$2" "${@:4}" -- -i -f target.dsk
  expect_held "$call"
  expect_interrupted_stdout "$expected"
  expect_status "$status"
  expect_same_bytes "$target" target.dsk
  expect_no_stray_files .
}
imaging_cancelled() {  # imaging_cancelled STAGE EXPECTED_STDOUT SYSCALL N CALL STRACE_OPTION...
  imaging_interrupted "$1" "$2" 2 earlier.orig "${@:3}"
}

# Opening: the open of the drive itself. The drive is never read.
imaging_cancelled "opening the drive" \
  "$BANNER"$'\nOpening floppy device...'"$INTERRUPT"'ok'"$CANCELLED$DISK_NOT_READ$CLOSED" \
  openat 1 'openat(AT_FDCWD, "/dev/fd0"' -P /dev/fd0
# Compressing is zlib alone: the held call is the one right after the
# announcement (taking the buffer for the compressed data), so the flag is set
# before zlib starts. The new file is written, then dropped.
NOT_WRITTEN="$CANCELLED"$'\nImage file could not be written.'"$CLOSED"
until_written=${reference%%$'\nImage file successfully created.'*}
read -r syscall n call <<<"$(kit call-after calibration $'\nCompressing data...')"
imaging_cancelled "compressing" "${until_written/$'\nCompressing data...'/$'\nCompressing data...'"$INTERRUPT"}$NOT_WRITTEN" \
  "$syscall" "$n" "$call"
# Writing: the call right after the announcement, before any record is in
# the new file (its first write, or a sanitizer's own call before it).
read -r syscall n call <<<"$(kit call-after calibration $'\nWriting image data to file...')"
imaging_cancelled "writing the image file" \
  "${until_written/$'\nWriting image data to file...'/$'\nWriting image data to file...'"$INTERRUPT"}$NOT_WRITTEN" \
  "$syscall" "$n" "$call"
# Flushing: the new file is complete and being flushed (seconds on a slow
# stick); the earlier image still stays. Once the new one has replaced it and
# the folder is being flushed, the job runs to its end.
imaging_cancelled "flushing the new image" "$until_written$INTERRUPT$NOT_WRITTEN" fsync 1 'fsync('
committing=${written#Writing image data to file...}
imaging_interrupted "flushing the folder after the replace" "${reference/"$committing"/"$committing$INTERRUPT"}" 0 \
  reference.dsk fsync 2 'fsync('

# Reading: the read of sector $PINNED_SECTOR; the poll after it cancels.
CANCELLED_READ="$BANNER$OPENED$QUERIED${INSERTED[2]}"$'\nReading data...'"$INTERRUPT$CANCELLED$DISK_NOT_READ$CLOSED"
for earlier in yes no; do
  CASE="-i, Ctrl-C while reading sectors, earlier image: $earlier"
  rm -f target.dsk
  [[ $earlier == no ]] || cp earlier.orig target.dsk
  interrupt_at source.img pread64 "$PINNED_SECTOR" -P /dev/fd0 -- -i -f target.dsk
  CHECKS=$((CHECKS + 1))
  [[ $HELD == *", $SECTOR, $(((PINNED_SECTOR - 1) * SECTOR))) = $SECTOR (DELAYED)" ]] || fail "held $HELD"
  expect_interrupted_stdout "$CANCELLED_READ"
  expect_status 2
  if [[ $earlier == yes ]]; then
    expect_same_bytes earlier.orig target.dsk
  else
    expect_absent target.dsk
  fi
  expect_no_stray_files .
done

# A second Ctrl-C while the first one is being answered is answered too.
CASE="-i, Ctrl-C twice while reading sectors"
cp earlier.orig target.dsk
AGAIN=1 interrupt_at source.img pread64 "$PINNED_SECTOR" -P /dev/fd0 -- -i -f target.dsk
expect_interrupted_stdout "${CANCELLED_READ/"$INTERRUPT"/"$INTERRUPT$INTERRUPT"}" 2
expect_status 2
expect_same_bytes earlier.orig target.dsk

# SIGTERM, SIGHUP and SIGQUIT cancel the job as Ctrl-C does, silently: the
# new file is removed and the earlier image kept; then the process ends as
# the signal demands.
ulimit -c 0
mkdir -p folder
for signal in TERM HUP QUIT; do
  CASE="-i, SIG$signal while reading sectors"
  rm -f folder/*
  cp earlier.orig folder/target.dsk
  SIGNAL=$signal interrupt_at source.img pread64 "$PINNED_SECTOR" -P /dev/fd0 -- -i -f folder/target.dsk
  expect_stdout "${CANCELLED_READ/"$INTERRUPT"/}"
  expect_status $((128 + $(kill -l "$signal")))
  expect_same_bytes earlier.orig folder/target.dsk
  CHECKS=$((CHECKS + 1))
  [[ $(ls -A folder) == target.dsk ]] || fail "left in the folder: $(ls -A folder | tr '\n' ' ')"
done

# --- mendarovel-image: export and import held while they flush the new file
# (a slow target) remove it when interrupted or asked to end, and the earlier
# file stays. (The first fsync is the new file's: a sanitizer's runtime makes
# write calls of its own, never an fsync.)
: "${MENDAROVEL_IMAGE:?path of the built tool}"
for signal in INT TERM HUP; do
  for command in "export reference.dsk" "import source.img"; do
    CASE="mendarovel-image $command, SIG$signal while writing"
    rm -f folder/*
    cp earlier.orig folder/target
    read -ra argv <<<"$command"
    MENDAROVEL=$MENDAROVEL_IMAGE SIGNAL=$signal interrupt_at source.img fsync 1 -- "${argv[@]}" folder/target
    expect_held 'fsync('
    expect_status "$([[ $signal == INT ]] && echo 2 || echo $((128 + $(kill -l "$signal"))))"
    expect_same_bytes earlier.orig folder/target
    CHECKS=$((CHECKS + 1))
    [[ $(ls -A folder) == target ]] || fail "left in the folder: $(ls -A folder | tr '\n' ' ')"
    # The shell that ran it may add its own line on the signal.
    CHECKS=$((CHECKS + 1))
    [[ $(head -1 "$WORK/stderr") == "mendarovel-image: folder/target: cancelled; nothing was written" ]] ||
      fail "standard error: $(cat "$WORK/stderr")"
  done
done

# --- -d: restoring the reference image onto a formatted disk.
head -c 1474560 /dev/zero | tr '\0' '\366' >formatted.img
cp reference.dsk imaging-reference.dsk
CASE="-d reference run"
cp formatted.img disk.img
calibrate disk.img -d -f reference.dsk
expect_status 0
expect_same_bytes source.img disk.img
reference=$(cat "$WORK/stdout")

# restoring_cancelled STAGE ANNOUNCEMENT: the file is read to its end, and
# the disk is not touched.
until_query=${reference%%"$QUERIED"*}
restoring_cancelled() {
  CASE="-d, Ctrl-C while $1"
  local syscall n call
  read -r syscall n call <<<"$(kit call-after calibration "$2")"
  cp formatted.img disk.img
  interrupt_at disk.img "$syscall" "$n" -- -d -f reference.dsk
  expect_held "$call"
  expect_interrupted_stdout "${until_query/"$2"/"$2$INTERRUPT"}$CANCELLED$DISK_NOT_WRITTEN$CLOSED"
  expect_status 2
  expect_same_bytes formatted.img disk.img
  expect_same_bytes imaging-reference.dsk reference.dsk
}

# Reading: the first read of the records, after the trailer was validated.
restoring_cancelled "reading the image file" $'\nReading image data...'
# Expanding is zlib alone: the held call is the one right after the
# announcement (taking the buffer for the expanded data).
restoring_cancelled "expanding" $'\nExpanding data...'

# Writing: the write of sector $PINNED_SECTOR; the poll after it cancels, and the
# disk holds exactly the sectors up to it.
CASE="-d, Ctrl-C while writing the disk"
cp formatted.img disk.img
interrupt_at disk.img pwrite64 "$PINNED_SECTOR" -P /dev/fd0 -- -d -f reference.dsk
CHECKS=$((CHECKS + 1))
[[ $HELD == *", $SECTOR, $(((PINNED_SECTOR - 1) * SECTOR))) = $SECTOR (DELAYED)" ]] || fail "held $HELD"
expect_interrupted_stdout "$BANNER$OPENED$READ_IMAGE$(kit expansion-line reference.dsk source.img)$QUERIED${INSERTED[2]}"$'\nWriting data...'"$INTERRUPT$CANCELLED$DISK_NOT_WRITTEN$CLOSED"
expect_status 2
expect_disk_prefix disk.img source.img formatted.img "$PINNED_SECTOR"
expect_same_bytes imaging-reference.dsk reference.dsk

# --- A session: Ctrl-C while the second disk's image is flushed cancels that
# disk and ends the session; the first disk's image, record and log row stay
# whole. The calibration is a session of that one disk: its count of flushes
# (fsync) is where the second disk's begin.
CASE="-i -b, Ctrl-C during the second disk"
mkdir -p session && rm -f session/*
printf 'first\n' >answers
calibrate source.img -i -b -f session/s-001.dsk -l session/log.csv <answers
expect_status 0
main=$(head -1 "$WORK/calibration" | cut -d' ' -f1)
flushes=$(grep -cE "^$main +fsync\(" "$WORK/calibration")
cp session/s-001.dsk first.dsk
cp session/log.csv first.csv
rm -f session/*
printf 'first\nsecond\n' >answers
interrupt_at source.img fsync $((flushes + 1)) -- -i -b -f session/s-001.dsk -l session/log.csv <answers
expect_held 'fsync('
expect_status 2
expect_same_bytes first.dsk session/s-001.dsk
CHECKS=$((CHECKS + 1))
problems=$(kit record-check session/s-001.json source.img session/s-001.dsk first image)
[[ -z $problems ]] || fail "record: $problems"
CHECKS=$((CHECKS + 1))
rows=$(kit csv-rows session/log.csv | cut -d'|' -f3,4,7)
[[ $rows == "$(kit csv-rows first.csv | cut -d'|' -f3,4,7)"$'\nimage|A:|cancelled' ]] || fail "log rows: $rows"
CHECKS=$((CHECKS + 1))
[[ $(ls -A session | tr '\n' ' ') == "log.csv s-001.dsk s-001.json " ]] || fail "in the folder: $(ls -A session | tr '\n' ' ')"

finish
