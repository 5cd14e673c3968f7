# Shared by the end-to-end tests: runs the built program as a user would, with
# plain files as floppy drives, and compares what it prints byte for byte.
set -uo pipefail

# The drives are plain files placed at /dev/fd0 and /dev/fd1 in a private
# mount namespace: root's own, or as a normal user one inside a user namespace
# where the kernel allows those.
if [[ $(id -u) -eq 0 ]]; then
  MV_UNSHARE=(unshare --mount --propagation private)
elif unshare --user --map-root-user --mount true 2>/dev/null; then
  MV_UNSHARE=(unshare --user --map-root-user --mount --propagation private)
else
  echo "skipped: drives are faked in a private mount namespace, which needs root or unprivileged user namespaces"
  exit 77
fi
: "${MENDAROVEL:?path of the built program}"
E2E_DIR=${E2E_DIR:-$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)}

WORK=$(mktemp -d /tmp/mendarovel-e2e.XXXXXX)
trap 'rm -rf "$WORK"' EXIT
cd "$WORK" || exit 1
STDOUT_FILE=$WORK/stdout
# shellcheck source=checks.sh
source "$E2E_DIR/checks.sh"

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
  # MV_TIMEOUT=SECONDS ends a run that hangs (status 124) instead of the test.
  local program=("$MENDAROVEL")
  [[ -n ${MV_TIMEOUT:-} ]] && program=(timeout "$MV_TIMEOUT" "$MENDAROVEL")
  MV_AFTER_OUT="$WORK/after" "${MV_UNSHARE[@]}" \
    bash "$E2E_DIR/in_namespace.sh" "$a" "$b" "${program[@]}" "$@" >"$WORK/stdout" 2>"$WORK/stderr"
  STATUS=$?
  if ((STATUS == 90)); then
    echo "could not set up the drives:"; cat "$WORK/stderr"; exit 1
  fi
}

# media_line CODE: the line that names the inserted media.
media_line() {
  printf '\nInserted media: %s' "$(media_text "$1")"
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
