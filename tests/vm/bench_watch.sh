# Runs inside the test VM (busybox sh), by hand:
#   tests/vm/vm.sh build tests/vm/bench_watch.sh
# CPU of `vx27ctl list --watch 60` while four uhid devices (mouse, keyboard,
# pad, headset) stay plugged and quiet, from the process's own /proc/<pid>/stat
# ticks just before the watch ends. The VM runs under software emulation, so
# the figure is pessimistic against real hardware.
set -e
fail() { echo "FAILED: $*"; exit 1; }
mkfifo /tmp/uhid.ctl
vx27-uhid mouse,keyboard,pad,headset --seconds 100 < /tmp/uhid.ctl > /tmp/uhid.log 2>&1 &
exec 3> /tmp/uhid.ctl
i=0
while [ "$(ls /dev/hidraw* 2>/dev/null | wc -l)" != 7 ]; do
  i=$((i + 1)); [ "$i" -lt 100 ] || fail "expected 7 hidraw nodes"
  usleep 100000
done
# Every clock read and timed wait goes through the clock source; under
# software emulation a port-based one (acpi_pm, hpet) is slow to read.
echo "clock source: $(cat /sys/devices/system/clocksource/clocksource0/current_clocksource)"
vx27ctl list --watch 60 > /tmp/watch.txt &
WATCH=$!
# ticks <pid>: user + system ticks (10 ms) so far, from fields 14 and 15.
ticks() { set -- $(cat /proc/$1/stat); echo $((${14} + ${15})); }
uptime_s() { cut -d' ' -f1 /proc/uptime; }
# Start-up (loading the program and its libraries, the first listing) is
# counted apart from the quiet watch that follows it.
sleep 8
T1=$(ticks $WATCH); U1=$(uptime_s)
sleep 50
T2=$(ticks $WATCH); U2=$(uptime_s)
START=$(set -- $(cat /proc/$WATCH/stat); echo ${22})
wait "$WATCH"
cat /tmp/watch.txt
[ "$(grep -c '^arrived ' /tmp/watch.txt)" = 7 ] || fail "arrivals"
awk -v t1="$T1" -v t2="$T2" -v u1="$U1" -v u2="$U2" -v st="$START" 'BEGIN {
  printf "vx27ctl list --watch: start-up and first %.1f s: %d ticks (10 ms)\n", u1 - st / 100, t1
  printf "vx27ctl list --watch: quiet %.1f s after that: %d ticks = %.3f %% of one core\n",
         u2 - u1, t2 - t1, (t2 - t1) / 100 / (u2 - u1) * 100
  printf "vx27ctl list --watch: all %.1f s: %d ticks = %.3f %% of one core\n",
         u2 - st / 100, t2, t2 / 100 / (u2 - st / 100) * 100 }'
echo quit >&3
