# Shared by the end-to-end tests: runs the built program as a user would, with
# plain files as floppy drives, and compares what it prints byte for byte.
set -uo pipefail

if [[ $(id -u) -ne 0 ]]; then
  echo "skipped: drives are faked in a private mount namespace, which needs root"
  exit 77
fi
: "${MENDAROVEL:?path of the built program}"
E2E_DIR=${E2E_DIR:-$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)}

WORK=$(mktemp -d /tmp/mendarovel-e2e.XXXXXX)
trap 'rm -rf "$WORK"' EXIT
cd "$WORK" || exit 1
CHECKS=0
FAILURES=0

BANNER=$'Mendarovel 2.1 for Console\n\n'
OPENED=$'\nOpening floppy device...ok'
CLOSED=$'\nClosing floppy device...ok'

# mv_run [--a FILE] [--b FILE] [--] ARGS...: runs the program with those drives.
# Leaves its standard output in $WORK/stdout and its exit status in $STATUS.
mv_run() {
  local a="" b=""
  while (($#)); do
    case $1 in
      --a) a=$(realpath "$2"); shift 2 ;;
      --b) b=$(realpath "$2"); shift 2 ;;
      --) shift; break ;;
      *) break ;;
    esac
  done
  MV_AFTER_OUT="$WORK/after" unshare --mount --propagation private \
    bash "$E2E_DIR/in_namespace.sh" "$a" "$b" "$MENDAROVEL" "$@" >"$WORK/stdout" 2>"$WORK/stderr"
  STATUS=$?
  if ((STATUS == 90)); then
    echo "could not set up the drives:"; cat "$WORK/stderr"; exit 1
  fi
}

fail() {
  FAILURES=$((FAILURES + 1))
  echo "FAIL [$CASE]: $*"
}

# expect_status N
expect_status() {
  CHECKS=$((CHECKS + 1))
  ((STATUS == $1)) || fail "exit status $STATUS, expected $1"
}

# expect_stdout TEXT: the whole standard output, byte for byte.
expect_stdout() {
  CHECKS=$((CHECKS + 1))
  printf '%s' "$1" >"$WORK/expected"
  if ! cmp -s "$WORK/expected" "$WORK/stdout"; then
    fail "standard output differs (first difference: $(cmp "$WORK/expected" "$WORK/stdout" 2>&1 | head -1))"
    echo "--- expected"; od -c "$WORK/expected" | tail -n 12
    echo "--- actual"; od -c "$WORK/stdout" | tail -n 12
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
  stray=$(find "$1" -name '*.partial' | head -1)
  [[ -z $stray ]] || fail "stray file $stray"
}

# make_disk FILE SIZE: a disk whose sectors differ, half of it compressible.
make_disk() {
  python3 - "$1" "$2" <<'PY'
import random, sys
path, size = sys.argv[1], int(sys.argv[2])
rng = random.Random(size)
data = bytearray()
while len(data) < size:
    if rng.random() < 0.5:
        data += bytes(rng.getrandbits(8) for _ in range(512))
    else:
        data += (b"sector %08d " % len(data)) * 16 + bytes(512 - 16 * 16)
open(path, "wb").write(bytes(data[:size]))
PY
}

# media_line CODE: the line that names the inserted media.
media_line() {
  case $1 in
    2) printf '\nInserted media: 3.5" floppy, 1.44MB and 512 bytes/sector.' ;;
    3) printf '\nInserted media: 3.5" floppy, 2.88MB and 512 bytes/sector.' ;;
    5) printf '\nInserted media: 3.5" floppy, 720KB and 512 bytes/sector.' ;;
    6) printf '\nInserted media: 5.25" floppy, 360KB and 512 bytes/sector.' ;;
    7) printf '\nInserted media: 5.25" floppy, 320KB and 512 bytes/sector.' ;;
    9) printf '\nInserted media: 5.25" floppy, 180KB and 512 bytes/sector.' ;;
    10) printf '\nInserted media: 5.25" floppy, 160KB and 512 bytes/sector.' ;;
    17) printf '\nInserted media: 3.5" floppy, 1.2MB and 512 bytes/sector.' ;;
    18) printf '\nInserted media: 3.5" floppy, 1.23MB and 1024 bytes/sector.' ;;
  esac
}

# The standard capacities: size bytes-per-sector sectors heads cylinders media.
CAPACITIES=(
  "163840 512 8 1 40 10"
  "184320 512 9 1 40 9"
  "327680 512 8 2 40 7"
  "368640 512 9 2 40 6"
  "737280 512 9 2 80 5"
  "1228800 512 15 2 80 17"
  "1261568 1024 8 2 77 18"
  "1474560 512 18 2 80 2"
  "2949120 512 36 2 80 3"
)

finish() {
  echo "$CHECKS checks, $FAILURES failed"
  ((FAILURES == 0))
}
