# Runs inside the test VM (busybox sh): the hidraw backend meets the emulated
# devices as kernel uhid devices. Each step prints what it checks; the first
# failing step fails the scenario.
set -e
step() { echo "== $*"; }
count_nodes() { ls /dev/hidraw* 2>/dev/null | wc -l; }

step "emulated mouse, keyboard, pad, headset and a decoy mouse as uhid devices"
vx27-uhid mouse,keyboard,pad,headset,mouse:decoy --seconds 120 > /tmp/uhid.log 2>&1 &
UHID=$!
i=0
while [ "$(count_nodes)" -lt 9 ]; do
  i=$((i + 1)); [ "$i" -lt 100 ] || { cat /tmp/uhid.log; exit 1; }
  usleep 100000
done
ls /dev/hidraw*

step "vx27ctl list claims slots 0 1 4 5 8 9 10 on hidraw paths, never the decoy"
vx27ctl list > /tmp/list.txt
cat /tmp/list.txt
[ "$(cut -d' ' -f2 /tmp/list.txt | tr '\n' ' ')" = "0 1 4 5 8 9 10 " ]
[ "$(grep -c ' path /dev/hidraw[0-9]*#vid_' /tmp/list.txt)" = 7 ]
grep -q '^slot 4 kind 2 use 0 vid 320f pid 226e mi 1 col 2 path /dev/hidraw[0-9]*#vid_320f&pid_226e&mi_01&col02$' /tmp/list.txt
grep -q '^slot 5 kind 2 use 255 vid 320f pid 226e mi 0 col 3 path /dev/hidraw[0-9]*#vid_320f&pid_226e&mi_00&col03$' /tmp/list.txt
grep -q '^slot 10 kind 7 use 0 vid 0c76 pid 1630 mi 3 col 0 path /dev/hidraw[0-9]*#vid_0c76&pid_1630&mi_03$' /tmp/list.txt

step "a command exchange through the hidraw node: vx27ctl info mouse"
vx27ctl info mouse > /tmp/info.txt 2>&1 || { cat /tmp/info.txt; exit 1; }
cat /tmp/info.txt
grep -qx 'result 1' /tmp/info.txt

step "removals are reported when the devices go"
vx27ctl list --watch 4 > /tmp/watch.txt &
WATCH=$!
sleep 2
kill "$UHID"
wait "$UHID" || true
wait "$WATCH"
cat /tmp/watch.txt
for s in 0 1 4 5 8 9 10; do grep -qx "arrived $s" /tmp/watch.txt; grep -qx "removed $s" /tmp/watch.txt; done
