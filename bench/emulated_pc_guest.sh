# shellcheck shell=dash disable=SC2154 # rounds arrives in a line put before this text
# Runs inside the emulated PC (bench/emulated_pc.sh boots it with "rounds=N"
# before this text): -i of drive A: against dd of the same drive through the
# real floppy driver, alternating run by run.
# Leaves in /out: times (DISK JOB CONTENDER NANOSECONDS, as bench/run's
# measurements), statuses (CONTENDER STATUS per run), guest (the guest's facts),
# the last run's files x.dsk and x.img, and status (runs that failed).

# in_ns SECONDS.MICROSECONDS: the six decimals are joined to the seconds, not
# added, since a fraction with a leading zero would be read as octal.
in_ns() {
  echo $((${1%.*}${1#*.} * 1000))
}

contender_run() {
  case $1 in
    ours) /bin/mendarovel -i -f /out/x.dsk </dev/null >/out/ours.txt 2>&1 ;;
    dd) dd if=/dev/fd0 iflag=direct bs=512 of=/out/x.img </dev/null 2>/out/dd.txt ;;
  esac
}

# timed CONTENDER: one run, the file it makes deleted first and not timed.
timed() {
  local start status end
  case $1 in
    ours) rm -f /out/x.dsk ;;
    dd) rm -f /out/x.img ;;
  esac
  # busybox date has no %N; the shell's EPOCHREALTIME gives microseconds
  # without starting a process inside the timed span.
  # shellcheck disable=SC3028 # busybox's shell has it
  start=$EPOCHREALTIME
  contender_run "$1"
  status=$?
  # shellcheck disable=SC3028
  end=$EPOCHREALTIME
  echo "$1 $status" >>/out/statuses
  echo "fat1440 image $1 $(($(in_ns "$end") - $(in_ns "$start")))"
}

{
  echo "kernel $(uname -r)"
  echo "cpu $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ //')"
  echo "uptime_at_start $(cut -d' ' -f1 /proc/uptime)"
} >/out/guest

# The untimed round 0 warms the drive and the caches; each round swaps which
# of the two goes first.
: >/out/statuses
r=0
while [ "$r" -le "$rounds" ]; do
  order="ours dd"
  [ $((r % 2)) -eq 0 ] && order="dd ours"
  for contender in $order; do
    if [ "$r" -eq 0 ]; then
      timed "$contender" >/dev/null
    else
      timed "$contender" >>/out/times
    fi
  done
  r=$((r + 1))
done
echo "uptime_at_end $(cut -d' ' -f1 /proc/uptime)" >>/out/guest
grep -cv ' 0$' /out/statuses >/out/status
