#!/usr/bin/env bash
# The command line as users type it: banner, usage text, exit status, and
# which drive a job opens.
source "$(dirname "$0")/lib.sh"

# Command lines that name no job: the usage text, once or twice, and status 1.
while IFS='|' read -r name times args; do
  CASE="usage: $name"
  read -ra argv <<<"$args"
  mv_run -- "${argv[@]}"
  expected=$BANNER
  for ((i = 0; i < times; i++)); do expected+=$USAGE; done
  expect_stdout "$expected"
  expect_status 1
done <<'EOF_CASES'
empty command line|1|
plain arguments only|1|x y
help alone|2|-h
no job switch|1|-v A -f x.dsk
upper-case I is another switch|1|-I
drive X|1|-i -v X
drive with a colon|1|-i -v A:
drive C with help|2|-h -i -v C
EOF_CASES

# What the program ignores is named on standard error; standard output stays.
CASE="usage: warnings for an unknown switch, a stray argument and drive C"
mv_run -- -i -C -f Family Photos.dsk -v C
expect_stdout "$BANNER$USAGE"
expect_status 1
expect_stderr_lines "mendarovel: unknown switch '-C' is ignored (did you mean -c?)" \
  "mendarovel: argument 'Photos.dsk' is ignored (a file name with spaces needs quotes)" \
  "mendarovel: -v 'C' names no drive: it takes A or B"

CASE="usage: empty file name"
mv_run -- -i -f "" ""
expect_stdout "$BANNER$USAGE"
expect_status 1

NO_DRIVE=$'\nOpening floppy device...failed\nERROR: No such file or directory'

CASE="no drive: the open fails and nothing is created"
mv_run -- -i
expect_stdout "$BANNER$NO_DRIVE"
expect_status 2
expect_absent Image.dsk
expect_stderr_lines "mendarovel: this system has no floppy drive A:" \
  "mendarovel: the image file is 'Image.dsk' in the current folder (the default name; -f names another)"

CASE="help with a job: usage once, then the job"
mv_run -- -h -i -f x.dsk
expect_stdout "$BANNER$USAGE$NO_DRIVE"
expect_status 2

# A: and B: are different drives: a disk of an odd size in A: fails the media
# query, a good one in B: reads.
truncate -s 1474560 good.img
truncate -s 1000 odd.img
CASE="-v b opens the second drive"
mv_run --a odd.img --b good.img -- -i -v b -f b.dsk
expect_status 0
[[ -s b.dsk ]] || fail "b.dsk was not written"
CASE="-v A opens the first drive"
mv_run --a odd.img --b good.img -- -i -v A -f a.dsk
expect_stdout "$BANNER$OPENED"$'\nQuerying media information...failed\nERROR: Wrong medium type'"$DISK_NOT_READ$CLOSED"
expect_status 2
expect_absent a.dsk

CASE="-v B with one drive only"
mv_run --a good.img -- -i -v B
expect_stdout "$BANNER$NO_DRIVE"
expect_status 2

# A drive the user may not open: the device and what to do, on standard error.
if [[ $(id -u) -eq 0 ]] && getent group floppy >/dev/null; then
  CASE="drive not open to the user"
  cp good.img locked.img && chgrp floppy locked.img && chmod 660 locked.img
  MENDAROVEL=setpriv mv_run --a locked.img -- --reuid=65534 --regid=65534 --clear-groups "$MENDAROVEL" -i -f x.dsk
  expect_stdout "$BANNER"$'\nOpening floppy device...failed\nERROR: Permission denied'
  expect_stderr_lines "mendarovel: drive A: is /dev/fd0, which could not be opened" \
    "mendarovel: permission to open /dev/fd0 was denied; to use it, join the group 'floppy' (sudo usermod -a -G floppy $(id -nu 65534)) and log in again"
fi

# Closed standard streams: no file the program opens takes their place, so
# neither the drive nor the image receives console text. A reader that quits
# costs the console lines, not the job.
PROGRAM=$MENDAROVEL
cp good.img good.orig
mv_run --a good.img -- -i -f reference.dsk
cp reference.dsk earlier.dsk
CASE="standard output closed"
MENDAROVEL=bash mv_run --a good.img -- -c 'exec "$0" "$@" >&-' "$PROGRAM" -i -f earlier.dsk
expect_status 0
expect_same_bytes reference.dsk earlier.dsk
expect_same_bytes good.orig good.img
CASE="standard input, output and error closed"
MENDAROVEL=bash mv_run --a good.img -- -c 'exec "$0" "$@" <&- >&- 2>&-' "$PROGRAM" -i -f new.dsk
expect_status 0
expect_same_bytes reference.dsk new.dsk
expect_same_bytes good.orig good.img
CASE="standard output a pipe whose reader has gone"
MENDAROVEL=python3 mv_run --a good.img -- "$KIT_DIR/kit.py" gone-reader "$PROGRAM" -i -f piped.dsk
expect_status 0
expect_same_bytes reference.dsk piped.dsk

# A name cannot drive the terminal: control characters are shown as octal
# escapes; '%' and non-ASCII bytes as they are.
CASE="control characters in a name that cannot be created"
mv_run --a good.img -- -i -f $'no\033[2J\tsuch\n%s\303\251/x.dsk'
expect_stdout "$BANNER$OPENED"$'\nERROR: Image file \'no\\033[2J\\011such\\012%s\303\251/x.dsk\' could not be created.'"$CLOSED"
expect_status 2
CASE="control characters in a name that cannot be opened"
mv_run --a good.img -- -d -f $'gone\r\a\177.dsk'
expect_stdout "$BANNER$OPENED"$'\nERROR: Image file \'gone\\015\\007\\177.dsk\' could not be opened.'"$CLOSED"
expect_status 2

finish
