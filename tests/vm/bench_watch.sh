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
vx27ctl list --watch 60 > /tmp/watch.txt &
WATCH=$!
sleep 58
# Fields 14 and 15: user and system ticks; 22: start time in ticks since boot.
set -- $(cat /proc/$WATCH/stat)
UTIME=${14}; STIME=${15}; START=${22}
UP=$(cut -d' ' -f1 /proc/uptime)
wait "$WATCH"
cat /tmp/watch.txt
[ "$(grep -c '^arrived ' /tmp/watch.txt)" = 7 ] || fail "arrivals"
awk -v u="$UTIME" -v s="$STIME" -v st="$START" -v up="$UP" 'BEGIN {
  secs = up - st / 100
  printf "vx27ctl list --watch: %d user + %d system ticks (10 ms) over %.1f s = %.3f %% of one core\n",
         u, s, secs, (u + s) / 100 / secs * 100 }'
echo quit >&3
