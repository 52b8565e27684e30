#!/usr/bin/env bash
# Installs what is missing, builds incrementally and starts the program.
#   ./run.sh          start with the devices plugged into this machine
#   ./run.sh --demo   start with an emulated mouse, keyboard, mouse pad and headset,
#                     and the music lighting companion (a test sweep without a sound server)
set -euo pipefail
source "$(dirname "$0")/scripts/setup.sh"

demo=0
for arg in "$@"; do
  case "$arg" in
    --demo) demo=1 ;;
    -h|--help) sed -n '2,5p' "$0"; exit 0 ;;
    *) echo "unknown option: $arg" >&2; exit 2 ;;
  esac
done

vx27_install_packages
vx27_build

companion=""
stop_companion() { if [ -n "$companion" ]; then kill "$companion" 2>/dev/null || true; fi; }
if [ "$demo" -eq 1 ]; then
  export VX27_EMULATE="${VX27_EMULATE:-mouse,keyboard,pad,headset}"
  # The music lighting companion: the default output's sound when a sound
  # server answers, otherwise a test sweep. It ends with the program.
  signal=()
  if ! command -v pactl >/dev/null || ! pactl info >/dev/null 2>&1; then signal=(--signal sweep); fi
  "$VX27_BUILD/bin/vx27audiorecord" "${signal[@]}" &
  companion=$!
  trap stop_companion EXIT
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display found: starting under a virtual X server (xvfb-run)." >&2
  xvfb-run -a "$VX27_BUILD/bin/vx27mouse"
  exit $?
fi
"$VX27_BUILD/bin/vx27mouse"
