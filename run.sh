#!/usr/bin/env bash
# Installs what is missing, builds incrementally and starts the program.
#   ./run.sh          start with the devices plugged into this machine
#   ./run.sh --demo   start with an emulated mouse, keyboard, mouse pad and headset
set -euo pipefail
source "$(dirname "$0")/scripts/setup.sh"

demo=0
for arg in "$@"; do
  case "$arg" in
    --demo) demo=1 ;;
    -h|--help) sed -n '2,4p' "$0"; exit 0 ;;
    *) echo "unknown option: $arg" >&2; exit 2 ;;
  esac
done

vx27_install_packages
vx27_build

if [ "$demo" -eq 1 ]; then
  export VX27_EMULATE="${VX27_EMULATE:-mouse,keyboard,pad,headset}"
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display found: starting under a virtual X server (xvfb-run)." >&2
  exec xvfb-run -a "$VX27_BUILD/bin/vx27mouse"
fi
exec "$VX27_BUILD/bin/vx27mouse"
