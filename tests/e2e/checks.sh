# shellcheck shell=bash disable=SC2034 # the constants are for the scripts that source this
# The checks that the end-to-end and emulated-PC tests share: the program's
# fixed lines, byte-exact comparisons, test disks and the figures of a report.
# $STDOUT_FILE is where the caller's runner leaves the program's output.

CHECKS=0
FAILURES=0

BANNER=$'Mendarovel 2.1 for Console\n\n'
OPENED=$'\nOpening floppy device...ok'
CLOSED=$'\nClosing floppy device...ok'
QUERIED=$'\nQuerying media information...ok'

fail() {
  FAILURES=$((FAILURES + 1))
  echo "FAIL [$CASE]: $*"
}

# expect_status N
expect_status() {
  CHECKS=$((CHECKS + 1))
  ((STATUS == $1)) || fail "exit status $STATUS, expected $1"
}

# expect_stdout TEXT: the program's whole standard output, byte for byte.
expect_stdout() {
  CHECKS=$((CHECKS + 1))
  printf '%s' "$1" >expected.stdout
  if ! cmp -s expected.stdout "$STDOUT_FILE"; then
    fail "standard output differs (first difference: $(cmp expected.stdout "$STDOUT_FILE" 2>&1 | head -1))"
    echo "--- expected"; od -c expected.stdout | tail -n 12
    echo "--- actual"; od -c "$STDOUT_FILE" | tail -n 12
  fi
}

# expect_same_bytes EXPECTED ACTUAL
expect_same_bytes() {
  CHECKS=$((CHECKS + 1))
  if [[ ! -e $2 ]]; then
    fail "$2 does not exist"
  elif ! cmp -s "$1" "$2"; then
    fail "$2 differs from $1: $(cmp "$1" "$2" 2>&1 | head -1)"
  fi
}

# expect_absent PATH...
expect_absent() {
  local path
  for path in "$@"; do
    CHECKS=$((CHECKS + 1))
    [[ ! -e $path ]] || fail "$path should not exist"
  done
}

# expect_no_stray_files DIR: no half-written image was left behind.
expect_no_stray_files() {
  CHECKS=$((CHECKS + 1))
  local stray
  stray=$(find "$1" -name '.mv*' | head -1)
  [[ -z $stray ]] || fail "stray file $stray"
}

# make_disk FILE SIZE [SEED]: a disk whose sectors differ, half of them compressible.
make_disk() {
  python3 - "$1" "$2" "${3:-$2}" <<'PY'
import random, sys
path, size, seed = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
rng = random.Random(seed)
data = bytearray()
while len(data) < size:
    if rng.random() < 0.5:
        data += rng.randbytes(512)
    else:
        data += (b"sector %08d " % len(data)) * 16 + bytes(512 - 16 * 16)
open(path, "wb").write(bytes(data[:size]))
PY
}

# media_text CODE: how the program names that media type.
media_text() {
  case $1 in
    2) printf '3.5" floppy, 1.44MB and 512 bytes/sector.' ;;
    3) printf '3.5" floppy, 2.88MB and 512 bytes/sector.' ;;
    5) printf '3.5" floppy, 720KB and 512 bytes/sector.' ;;
    6) printf '5.25" floppy, 360KB and 512 bytes/sector.' ;;
    7) printf '5.25" floppy, 320KB and 512 bytes/sector.' ;;
    9) printf '5.25" floppy, 180KB and 512 bytes/sector.' ;;
    10) printf '5.25" floppy, 160KB and 512 bytes/sector.' ;;
    17) printf '3.5" floppy, 1.2MB and 512 bytes/sector.' ;;
    18) printf '3.5" floppy, 1.23MB and 1024 bytes/sector.' ;;
  esac
}

# expansion_line IMAGE DISK: the report of expanding IMAGE's data back to DISK.
expansion_line() {
  python3 - "$1" "$2" <<'PY'
import os, sys
compressed = os.path.getsize(sys.argv[1]) - 53
raw = os.path.getsize(sys.argv[2])
print("\nExpanding data...ok (%dkb, %dkb, %+.2f%%)" % (compressed // 1000, raw // 1000, raw / compressed * 100 - 100), end="")
PY
}

finish() {
  echo "$CHECKS checks, $FAILURES failed"
  ((FAILURES == 0))
}
