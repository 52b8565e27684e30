# Runs inside the test VM (busybox sh), with the program's binaries in /vx27:
# the hidraw backend (/dev/hidrawN with libudev) meets the emulated devices as
# kernel uhid devices made by vx27-uhid from the same firmware models as the
# in-process emulator; input capture (evdev) meets a kernel input device made
# through uinput. Each step prints what it checks; the first failing step
# fails the scenario.
set -e
step() { echo "== $*"; }
fail() { echo "FAILED: $*"; exit 1; }
count_nodes() { ls /dev/hidraw* 2>/dev/null | wc -l; }
# Centiseconds since boot.
now_cs() { awk '{ split($1, t, "."); print t[1] * 100 + substr(t[2] "00", 1, 2) }' /proc/uptime; }

# wait_for <file> <text> [tenths of a second] [lines to skip]: until a line
# of the file (after the skipped ones) is <text>.
wait_for() {
  i=0
  until tail -n +$((${4:-0} + 1)) "$1" 2>/dev/null | grep -qxF "$2"; do
    i=$((i + 1)); [ "$i" -lt "${3:-100}" ] || { tail -n 20 "$1"; fail "waited for '$2'"; }
    usleep 100000
  done
}
lines() { wc -l < "$1"; }
wait_nodes() {
  i=0
  while [ "$(count_nodes)" != "$1" ]; do
    i=$((i + 1)); [ "$i" -lt 100 ] || { ls /dev/hidraw*; fail "expected $1 hidraw nodes"; }
    usleep 100000
  done
}
# bridge <n> <emulate list> [option]: starts bridge n, commanded through
# /tmp/uhid<n>.ctl.
bridge() {
  mkfifo "/tmp/uhid$1.ctl"
  vx27-uhid "$2" --seconds 110 $3 < "/tmp/uhid$1.ctl" > "/tmp/uhid$1.log" 2>&1 &
  eval "exec $(($1 + 2))> /tmp/uhid$1.ctl"
}
# ctl <n> <command>: one bridge command, carried out before it returns.
ctl() {
  n=$1; shift
  before=$(lines "/tmp/uhid$n.log")
  echo "$*" >&$((n + 2))
  wait_for "/tmp/uhid$n.log" "ok $*" 100 "$before"
}
# Hex lines of a vx27ctl read without its "result" line.
hex_of() { grep -v '^result' "$1" | grep -E '^([0-9a-f]{2} ?)+$'; }

step "mouse, keyboard, pad, headset and a decoy mouse become uhid devices"
bridge 1 mouse,keyboard,pad,headset,mouse:decoy
wait_nodes 9
ls /dev/hidraw*

step "vx27ctl list claims slots 0 1 4 5 8 9 10 on hidraw paths, never the decoy"
vx27ctl list > /tmp/list.txt
cat /tmp/list.txt
[ "$(cut -d' ' -f2 /tmp/list.txt | tr '\n' ' ')" = "0 1 4 5 8 9 10 " ] || fail "slots"
[ "$(grep -c ' path /dev/hidraw[0-9]*#vid_' /tmp/list.txt)" = 7 ] || fail "paths"
grep -q '^slot 4 kind 2 use 0 vid 320f pid 226e mi 1 col 2 path /dev/hidraw[0-9]*#vid_320f&pid_226e&mi_01&col02$' /tmp/list.txt
grep -q '^slot 5 kind 2 use 255 vid 320f pid 226e mi 0 col 3 path /dev/hidraw[0-9]*#vid_320f&pid_226e&mi_00&col03$' /tmp/list.txt
grep -q '^slot 0 kind 1 use 0 vid 320f pid 0000 mi 1 col 4 ' /tmp/list.txt
grep -q '^slot 8 kind 3 use 0 vid 320f pid 1004 mi 1 col 4 ' /tmp/list.txt
grep -q '^slot 10 kind 7 use 0 vid 0c76 pid 1630 mi 3 col 0 path /dev/hidraw[0-9]*#vid_0c76&pid_1630&mi_03$' /tmp/list.txt

step "information block read through the mouse's hidraw node"
vx27ctl info mouse > /tmp/info.txt 2>&1 || { cat /tmp/info.txt; fail "info"; }
cat /tmp/info.txt
grep -q 'magic 55aa' /tmp/info.txt
grep -qx 'result 1' /tmp/info.txt

step "settings written and read back (mouse, 70 bytes at 0x80: two reports)"
SETTINGS=$(awk 'BEGIN { for (i = 0; i < 70; i++) printf "%02x", (i * 7 + 5) % 256 }')
vx27ctl write-settings mouse 0x80 "$SETTINGS" > /tmp/ws.txt 2>&1 || { cat /tmp/ws.txt; fail "write-settings"; }
vx27ctl read-settings mouse 128 70 > /tmp/rs.txt 2>&1 || { cat /tmp/rs.txt; fail "read-settings"; }
[ "$(hex_of /tmp/rs.txt | tr -d ' \n')" = "$SETTINGS" ] || { cat /tmp/rs.txt; fail "settings differ"; }

step "key map written and read back (keyboard)"
vx27ctl read-keymap keyboard > /tmp/km0.txt 2>&1 || { cat /tmp/km0.txt; fail "read-keymap"; }
hex_of /tmp/km0.txt | awk '{ for (i = 1; i <= NF; i++) printf "%02x ", (NR * 16 + i * 5) % 256; print "" }' > /tmp/km.hex
vx27ctl write-keymap keyboard /tmp/km.hex > /tmp/wk.txt 2>&1 || { cat /tmp/wk.txt; fail "write-keymap"; }
vx27ctl read-keymap keyboard > /tmp/km1.txt 2>&1 || { cat /tmp/km1.txt; fail "read-keymap again"; }
[ "$(hex_of /tmp/km1.txt | tr -d ' \n')" = "$(tr -d ' \n' < /tmp/km.hex)" ] || fail "key map differs"
[ "$(hex_of /tmp/km0.txt | tr -d ' \n')" != "$(hex_of /tmp/km1.txt | tr -d ' \n')" ] || fail "key map unchanged"

step "colour page 2 written and read back (keyboard, 96 bytes)"
awk 'BEGIN { for (i = 0; i < 96; i++) printf "%02x%s", (255 - i) % 256, (i % 16 == 15) ? "\n" : " " }' > /tmp/col.hex
vx27ctl write-colours keyboard 2 /tmp/col.hex > /tmp/wc.txt 2>&1 || { cat /tmp/wc.txt; fail "write-colours"; }
vx27ctl read-colours keyboard 2 96 > /tmp/rc.txt 2>&1 || { cat /tmp/rc.txt; fail "read-colours"; }
[ "$(hex_of /tmp/rc.txt | tr -d ' \n')" = "$(tr -d ' \n' < /tmp/col.hex)" ] || fail "colours differ"

step "pad and headset answer through their command collections"
vx27ctl info pad > /tmp/pad.txt 2>&1 || { cat /tmp/pad.txt; fail "pad info"; }
vx27ctl read-settings headset 0 45 > /tmp/hs.txt 2>&1 || { cat /tmp/hs.txt; fail "headset settings"; }
grep -qx 'result 1' /tmp/hs.txt

step "three quiet seconds of discovery: at most one full listing"
VX27_TRACE=1 vx27ctl list --watch 3 > /tmp/quiet.txt 2> /tmp/quiet.trace
grep '^HID' /tmp/quiet.trace || true
LISTINGS=$(grep -c '^HID listing: ' /tmp/quiet.trace || true)
echo "$LISTINGS full listings"
[ "$LISTINGS" -le 1 ] || fail "$LISTINGS full listings in three quiet seconds"
[ "$(grep -c '^arrived ' /tmp/quiet.txt)" = 7 ] || { cat /tmp/quiet.txt; fail "arrivals"; }

step "a read with no time-out on a worker is freed by the worker's stop event within 50 ms"
vx27ctl stop-read mouse 300 > /tmp/sr.txt 2>&1 || { cat /tmp/sr.txt; fail "stop-read"; }
cat /tmp/sr.txt
US=$(sed -n 's/^read ended \(-*[0-9]*\) us after the stop$/\1/p' /tmp/sr.txt)
[ -n "$US" ] && [ "$US" -lt 50000 ] || fail "the read took $US us to end"
grep -qx 'interface open yes' /tmp/sr.txt

step "the updater brings the uhid mouse, keyboard and pad to V0126, leaving a foreign pad alone"
vx27ctl firmware-version mouse > /tmp/fv0.txt 2>&1 || { cat /tmp/fv0.txt; fail "firmware-version"; }
cat /tmp/fv0.txt
grep -qx 'version 0102' /tmp/fv0.txt || fail "the mouse's version before the update"
# A pad whose kernel devices do not identify as emulated, as another maker's.
bridge 3 pad "--foreign"
wait_nodes 11
before=$(lines /tmp/uhid1.log)
UPDATER_STATUS=0
(cd /vx27/Update && ./升级包-* "On the upgrade") > /tmp/update.txt 2>&1 || UPDATER_STATUS=$?
cat /tmp/update.txt
# 1: the foreign pad's failure.
[ "$UPDATER_STATUS" = 1 ] || fail "the updater exited $UPDATER_STATUS"
for model in mouse keyboard pad; do
  grep -qx "done $model V0126" /tmp/update.txt || fail "$model not updated"
done
grep -qx "failed pad no update protocol" /tmp/update.txt || fail "the foreign pad was not refused"
[ "$(wc -l < /tmp/update.txt)" = 4 ] || fail "unexpected updater lines"
# Each updated device restarted: its kernel devices went and came back
# with the new version.
for model in mouse keyboard pad; do
  tail -n +$((before + 1)) /tmp/uhid1.log | grep -qx "plugged $model 0126" || fail "$model not made again"
done
# Not one update request (0x30 to 0x33) reached the foreign pad.
grep -E '^output [^ ]+ 04 3[0-3]$' /tmp/uhid3.log && fail "an update request reached the foreign pad"
ctl 3 quit
wait_nodes 9
vx27ctl firmware-version mouse > /tmp/fv1.txt 2>&1 || { cat /tmp/fv1.txt; fail "firmware-version after"; }
cat /tmp/fv1.txt
grep -qx 'version 0126' /tmp/fv1.txt || {
  for u in /sys/class/hidraw/*/device/uevent; do echo "$u $(grep -E 'HID_(PHYS|UNIQ)' "$u" | tr '\n' ' ')"; done
  tail -n 30 /tmp/uhid1.log; VX27_TRACE=1 vx27ctl firmware-version mouse 2>&1 | tail -n 30
  fail "the mouse's version after the update"; }

step "a device unplugged during a read: the read returns before its 1000 ms time-out"
ctl 1 mute mouse on
before=$(lines /tmp/uhid1.log)
vx27ctl info mouse > /tmp/cut.txt 2>&1 &
CUT=$!
wait_for /tmp/uhid1.log "output mouse 04 03" 300 "$before"
T0=$(now_cs)
ctl 1 unplug mouse
CUT_STATUS=0
wait "$CUT" || CUT_STATUS=$?
T1=$(now_cs)
cat /tmp/cut.txt
[ "$CUT_STATUS" != 0 ] || fail "info succeeded on an unplugged mouse"
echo "returned $(( (T1 - T0) * 10 )) ms after the unplug"
grep -qx 'result 1' /tmp/cut.txt && fail "result 1"
[ $((T1 - T0)) -lt 90 ] || fail "the read waited for its time-out"

step "the pad unplugged and plugged again at once: its removal and its new arrival are both seen"
vx27ctl list --watch 3 > /tmp/replug.txt &
REPLUG=$!
wait_for /tmp/replug.txt "arrived 9" 100
before=$(lines /tmp/uhid1.log)
# Both commands at once: the pad is back on the same hidraw numbers within a
# few milliseconds, well inside one discovery pass.
printf 'unplug pad\nplug pad\n' >&3
wait_for /tmp/uhid1.log "ok plug pad" 100 "$before"
wait "$REPLUG"
cat /tmp/replug.txt
grep -qx "removed 8" /tmp/replug.txt || fail "the pad's removal was missed"
[ "$(grep -cx 'arrived 8' /tmp/replug.txt)" = 2 ] || fail "the pad did not arrive again"

step "unplugging is seen by discovery: the keyboard's slots are reported removed"
vx27ctl list --watch 3 > /tmp/watch.txt &
WATCH=$!
wait_for /tmp/watch.txt "arrived 0" 100
T0=$(now_cs)
ctl 1 unplug keyboard
wait_for /tmp/watch.txt "removed 0" 30
wait_for /tmp/watch.txt "removed 1" 30
T1=$(now_cs)
echo "removals seen $(( (T1 - T0) * 10 )) ms after the unplug"
wait "$WATCH"
cat /tmp/watch.txt
grep -qx "removed 4" /tmp/watch.txt && fail "the mouse was long gone before the watch"
true

step "the mouse's receiver answers 0xAA while the mouse is off, normally once it is on"
bridge 2 mouse:receiver:off
wait_nodes 7
vx27ctl list > /tmp/list2.txt
cat /tmp/list2.txt
grep -q '^slot 6 kind 6 use 0 vid 320f pid 226f mi 1 col 2 ' /tmp/list2.txt
vx27ctl info mouse --receiver > /tmp/off.txt 2>&1 && fail "info through a receiver whose mouse is off"
cat /tmp/off.txt
grep -qx 'result -101' /tmp/off.txt
vx27ctl link mouse --receiver > /tmp/linkoff.txt 2>&1 || true
grep -q 'linked no' /tmp/linkoff.txt
ctl 2 wireless mouse:receiver on
vx27ctl info mouse --receiver > /tmp/on.txt 2>&1 || { cat /tmp/on.txt; fail "info through the receiver"; }
grep -qx 'result 1' /tmp/on.txt
vx27ctl link mouse --receiver > /tmp/linkon.txt 2>&1
grep -q 'linked yes' /tmp/linkon.txt

step "every device gone: the node count drops to 0"
ctl 1 quit
ctl 2 quit
wait_nodes 0

step "vx27ctl capture sees KEY_A and BTN_SIDE of a uinput device"
[ -e /dev/uinput ] || fail "no /dev/uinput"
mkfifo /tmp/uinput.ctl
vx27-uinput --seconds 60 < /tmp/uinput.ctl > /tmp/uinput.log 2>&1 &
exec 8> /tmp/uinput.ctl
i=0
until grep -q '^ready /dev/input/event' /tmp/uinput.log; do
  i=$((i + 1)); [ "$i" -lt 100 ] || { cat /tmp/uinput.log; fail "no uinput device"; }
  usleep 100000
done
cat /tmp/uinput.log
# The capture opens the event nodes at its start (traced); the keys follow.
VX27_TRACE=/tmp/capture.trace vx27ctl capture --seconds 4 > /tmp/capture.txt 2>&1 &
CAPTURE=$!
i=0
until grep -q 'input capture: [0-9]* event devices' /tmp/capture.trace 2>/dev/null; do
  i=$((i + 1)); [ "$i" -lt 150 ] || { cat /tmp/capture.txt /tmp/capture.trace; fail "capture did not open"; }
  usleep 100000
done
# KEY_A (30) and BTN_SIDE (275), each pressed and released.
for e in "30 1" "30 0" "275 1" "275 0"; do
  echo "$e" >&8
  wait_for /tmp/uinput.log "ok $e"
done
wait "$CAPTURE" || { cat /tmp/capture.txt; fail "capture"; }
echo quit >&8
cat /tmp/capture.txt
# Key down and up (0x0100, 0x0101) with A's set-1 scan code and virtual key;
# X button 1 down and up (0x020b, 0x020c) with XBUTTON1 in the high word.
grep -q ' 0x0100 scan 0x1e ext 0 vk 0x41 ' /tmp/capture.txt || fail "A pressed"
grep -q ' 0x0101 scan 0x1e ext 0 vk 0x41 ' /tmp/capture.txt || fail "A released"
grep -q ' 0x020b x -*[0-9]* y -*[0-9]* data 0x00010000$' /tmp/capture.txt || fail "side button pressed"
grep -q ' 0x020c x -*[0-9]* y -*[0-9]* data 0x00010000$' /tmp/capture.txt || fail "side button released"
