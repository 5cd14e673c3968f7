#!/usr/bin/env bash
# Runs inside a private mount namespace: gives the program a /dev of its own
# whose floppy drives are the test's plain files, then runs it.
#
# usage: in_namespace.sh DRIVE_A DRIVE_B PROGRAM ARGS...   ("" for no drive)
# A drive that is a block device (a loop device) is made anew as /dev/fd0 or
# /dev/fd1, and so are the devices MV_NODES names, under their own names.
# MV_SMALL_FS=DIR:SIZE mounts a tmpfs of that size at DIR (a full disk), and
# MV_SEED copies files into it first; MV_AFTER runs after the program, in the
# namespace, with its output appended to $MV_AFTER_OUT.
set -u
drive_a=$1 drive_b=$2
shift 2

# Device numbers are read before the system's /dev is hidden.
declare -A made=()
for node in "$drive_a" "$drive_b" ${MV_NODES:-}; do
  [[ -b $node ]] && made[$node]=$(stat -c '0x%t 0x%T' "$node")
done

# /dev/null is the system's own node, bound in: a user namespace may not make device nodes.
hold=$(mktemp -d "${TMPDIR:-/tmp}/mendarovel-ns.XXXXXX") || exit 90
touch "$hold/null" && mount --bind /dev/null "$hold/null" || exit 90
mount -t tmpfs -o mode=755 mendarovel-dev /dev || exit 90
touch /dev/null && mount --bind "$hold/null" /dev/null || exit 90
umount "$hold/null" && rm -rf "$hold"
attach() {  # attach NODE FILE
  [[ -n $2 ]] || return 0
  if [[ -n ${made[$2]:-} ]]; then
    # shellcheck disable=SC2086 # the major and the minor number
    mknod "$1" b ${made[$2]} || exit 90
  else
    touch "$1" && mount --bind "$2" "$1" || exit 90
  fi
}
attach /dev/fd0 "$drive_a"
attach /dev/fd1 "$drive_b"
for node in ${MV_NODES:-}; do attach "$node" "$node"; done

if [[ -n ${MV_SMALL_FS:-} ]]; then
  mkdir -p "${MV_SMALL_FS%%:*}"
  mount -t tmpfs -o "size=${MV_SMALL_FS##*:}" mendarovel-small "${MV_SMALL_FS%%:*}" || exit 90
  # shellcheck disable=SC2086 # a list of paths
  [[ -n ${MV_SEED:-} ]] && cp $MV_SEED "${MV_SMALL_FS%%:*}/"
fi

"$@"
status=$?
if [[ -n ${MV_AFTER:-} ]]; then
  bash -c "$MV_AFTER" >>"$MV_AFTER_OUT" 2>&1
fi
exit $status
