# Runs inside the test VM (busybox sh), with the program's binaries in /vx27.
# Each step prints what it checks; the first failing step fails the scenario.
set -e
step() { echo "== $*"; }

step "uhid device node present"
[ -c /dev/uhid ]

step "vx27ctl runs in the VM"
vx27ctl --version
