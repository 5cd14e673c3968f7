# shellcheck shell=bash disable=SC2034 # the constants are for the scripts that source this
# The checks that the end-to-end and emulated-PC tests share: byte-exact
# comparisons, and the program's texts from the kit.
set -uo pipefail
# The system tools (mkfs.fat, mkfs.ext2, losetup) live in /usr/sbin and /sbin,
# which a normal user's PATH on Debian lacks.
export PATH=$PATH:/usr/local/sbin:/usr/sbin:/sbin
KIT_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# Each test works in a folder of its own, removed at its end. $STDOUT_FILE
# is where the caller's runner leaves the program's output.
WORK=$(mktemp -d "${TMPDIR:-/tmp}/mendarovel-test.XXXXXX") || exit 1
trap 'rm -rf "$WORK"' EXIT
cd "$WORK" || exit 1
STDOUT_FILE=$WORK/stdout
CHECKS=0
FAILURES=0
# kit COMMAND ARGS...: the test disks, image files and texts of kit.py.
kit() { python3 "$KIT_DIR/kit.py" "$@"; }
TEXTS=$(kit texts) || exit 1
eval "$TEXTS"

fail() {
  FAILURES=$((FAILURES + 1))
  echo "FAIL [$CASE]: $*"
}

# expect_status N
expect_status() {
  CHECKS=$((CHECKS + 1))
  ((STATUS == $1)) || fail "exit status $STATUS, expected $1"
}

# expect_stderr_lines LINE...: the program's whole standard error, these lines.
expect_stderr_lines() {
  CHECKS=$((CHECKS + 1))
  local expected
  expected=$(printf '%s\n' "$@")
  [[ $(cat "${STDERR_FILE:-$WORK/stderr}") == "$expected" ]] ||
    fail "standard error: '$(cat "${STDERR_FILE:-$WORK/stderr}")', expected: '$expected'"
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

finish() {
  echo "$CHECKS checks, $FAILURES failed"
  ((FAILURES == 0))
}
