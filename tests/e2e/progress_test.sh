#!/usr/bin/env bash
# Live progress as users see it: on a terminal it shows on standard error
# while a slow drive is read and leaves the screen exactly as the lines alone
# would; standard output is the same bytes whatever standard error is.
source "$(dirname "$0")/lib.sh"
# The slow drive is the program under strace.
under_strace script tmux
export TERM=xterm

kit disk disk.img 1474560

# in_pty STDOUT ARGS...: the program with standard error on a pseudo-terminal
# and standard output into STDOUT; the terminal's bytes go to $WORK/typescript.
in_pty() {
  local out=$1
  shift
  script -qfec "${MV_UNSHARE[*]} bash $E2E_DIR/../blackbox/in_namespace.sh $WORK/disk.img '' $* >$out" \
    "$WORK/typescript" >/dev/null 2>&1
  STATUS=$?
}

CASE="standard error not a terminal: nothing on it"
mv_run --a disk.img -- -i -f plain.dsk
expect_status 0
cp "$WORK/stdout" "$WORK/reference"
CHECKS=$((CHECKS + 1))
[[ ! -s $WORK/stderr ]] || fail "standard error holds $(od -c "$WORK/stderr" | head -2)"

CASE="standard error on a terminal: standard output unchanged, progress drawn and erased"
in_pty "$WORK/pty-stdout" "$MENDAROVEL" -i -f pty.dsk
expect_status 0
expect_same_bytes "$WORK/reference" "$WORK/pty-stdout"
expect_same_bytes plain.dsk pty.dsk
CHECKS=$((CHECKS + 1))
grep -aq '   0% cyl 1 head 1, 0 skipped, 0:00' "$WORK/typescript" || fail "no progress on the terminal"
CHECKS=$((CHECKS + 1))
grep -aq $'\x1b\\[K' "$WORK/typescript" || fail "the progress was never erased"

CASE="a dumb terminal gets no progress"
TERM=dumb in_pty "$WORK/dumb-stdout" "$MENDAROVEL" -i -f dumb.dsk
expect_same_bytes "$WORK/reference" "$WORK/dumb-stdout"
CHECKS=$((CHECKS + 1))
! grep -aq -e '% cyl' -e $'\b' "$WORK/typescript" || fail "progress on a dumb terminal"

# A slow drive: the tracer holds every sector read for 2 ms, so the 2880
# sectors of the disk take several seconds, as a real drive's would.
CASE="live progress on a slow drive, then the screen of the lines alone"
socket="mendarovel-e2e-$$"
tmux_() { tmux -L "$socket" "$@"; }
trap 'tmux_ kill-server 2>/dev/null; rm -rf "$WORK"' EXIT
tmux_ -f /dev/null new-session -d -x 100 -y 30 \
  "${MV_UNSHARE[*]} bash $E2E_DIR/../blackbox/in_namespace.sh $WORK/disk.img '' \
     strace -f -qq -o /dev/null -e trace=pread64 -e inject=pread64:delay_exit=2000 \
     $MENDAROVEL -i -f slow.dsk; echo \$? >$WORK/slow-status; tmux wait-for -S done; sleep 60"
live=""
for _ in $(seq 300); do
  screen=$(tmux_ capture-pane -p)
  # Past the first drawing: the figures move while the drive is read.
  if grep -Eq '^Reading data\.\.\. +[1-9][0-9]?% cyl [0-9]+ head [12], 0 skipped, [0-9]+:[0-9]{2}$' <<<"$screen"; then
    live=$(grep -E '^Reading data' <<<"$screen")
    break
  fi
  sleep 0.1
done
CHECKS=$((CHECKS + 1))
[[ -n $live ]] || fail "no live progress seen; screen: $screen"
timeout 120 tmux -L "$socket" wait-for done
final=$(tmux_ capture-pane -p | sed -e :a -e '/^\n*$/{$d;N;ba' -e '}')
tmux_ kill-server
CHECKS=$((CHECKS + 1))
[[ $(cat "$WORK/slow-status") == 0 ]] || fail "exit status $(cat "$WORK/slow-status")"
expected=$(cat "$WORK/reference")
CHECKS=$((CHECKS + 1))
[[ $final == "$expected" ]] || fail "final screen differs:"$'\n'"$final"$'\n--- expected\n'"$expected"
expect_same_bytes plain.dsk slow.dsk
echo "seen while reading: $live"

finish
