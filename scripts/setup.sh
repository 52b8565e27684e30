#!/usr/bin/env bash
# Installs the Debian packages that are missing, then configures and builds
# incrementally into build/ (or $VX27_BUILD: build-asan/ and build-tsan/ for
# the sanitizer lane). Idempotent and non-interactive; sourced by run.sh
# and test.sh.
set -euo pipefail

VX27_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
VX27_BUILD="${VX27_BUILD:-$VX27_ROOT/build}"

vx27_install_packages() {
  local wanted missing=()
  mapfile -t wanted < <(grep -v '^\s*#' "$VX27_ROOT/scripts/packages.txt" | grep -v '^\s*$')
  for p in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing missing packages: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# vx27_build [cmake -D options...] [-- targets...]
# Configures $VX27_BUILD when it is new or options are given, then builds the
# targets (everything when none are named).
vx27_build() {
  local options=() targets=()
  while [ $# -gt 0 ]; do
    if [ "$1" = "--" ]; then
      shift
      targets=("$@")
      break
    fi
    options+=("$1")
    shift
  done
  if [ ! -f "$VX27_BUILD/build.ninja" ] || [ ${#options[@]} -gt 0 ]; then
    cmake -S "$VX27_ROOT" -B "$VX27_BUILD" -G Ninja "${options[@]}"
  fi
  if [ ${#targets[@]} -gt 0 ]; then
    cmake --build "$VX27_BUILD" -j "$(nproc)" --target "${targets[@]}"
  else
    cmake --build "$VX27_BUILD" -j "$(nproc)"
  fi
}
