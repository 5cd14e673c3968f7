#!/usr/bin/env bash
# Runs inside a private mount namespace: gives the program a /dev of its own
# whose floppy drives are the test's plain files, then runs it.
#
# usage: in_namespace.sh DRIVE_A DRIVE_B PROGRAM ARGS...   ("" for no drive)
# MV_SMALL_FS=DIR:SIZE mounts a tmpfs of that size at DIR (a full disk), and
# MV_SEED copies files into it first; MV_AFTER runs after the program, in the
# namespace, with its output appended to $MV_AFTER_OUT.
set -u
drive_a=$1 drive_b=$2
shift 2

# /dev/null is the system's own node, bound in: a user namespace may not make device nodes.
hold=$(mktemp -d "${TMPDIR:-/tmp}/mendarovel-ns.XXXXXX") || exit 90
touch "$hold/null" && mount --bind /dev/null "$hold/null" || exit 90
mount -t tmpfs -o mode=755 mendarovel-dev /dev || exit 90
touch /dev/null && mount --bind "$hold/null" /dev/null || exit 90
umount "$hold/null" && rm -rf "$hold"
attach() {  # attach NODE FILE
  [[ -n $2 ]] || return 0
  touch "$1" && mount --bind "$2" "$1" || exit 90
}
attach /dev/fd0 "$drive_a"
attach /dev/fd1 "$drive_b"

if [[ -n ${MV_SMALL_FS:-} ]]; then
  mkdir -p "${MV_SMALL_FS%%:*}"
  mount -t tmpfs -o "size=${MV_SMALL_FS##*:}" mendarovel-small "${MV_SMALL_FS%%:*}" || exit 90
  [[ -n ${MV_SEED:-} ]] && cp $MV_SEED "${MV_SMALL_FS%%:*}/"
fi

"$@"
status=$?
if [[ -n ${MV_AFTER:-} ]]; then
  bash -c "$MV_AFTER" >>"$MV_AFTER_OUT" 2>&1
fi
exit $status
