# shellcheck shell=bash
# Shared by the end-to-end tests: runs the built program as a user would, with
# plain files as floppy drives, and compares what it prints byte for byte.

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

# shellcheck source=../kit/checks.sh
source "$E2E_DIR/../kit/checks.sh"

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
    bash "$E2E_DIR/../blackbox/in_namespace.sh" "$a" "$b" "${program[@]}" "$@" >"$WORK/stdout" 2>"$WORK/stderr"
  STATUS=$?
  if ((STATUS == 90)); then
    echo "could not set up the drives:"; cat "$WORK/stderr"; exit 1
  fi
}
