#!/usr/bin/env bash
# Installs the Debian packages that are missing, then configures and builds
# incrementally into build/. Idempotent and non-interactive; sourced by run.sh
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

vx27_build() {
  if [ ! -f "$VX27_BUILD/build.ninja" ]; then
    cmake -S "$VX27_ROOT" -B "$VX27_BUILD" -G Ninja
  fi
  cmake --build "$VX27_BUILD" -j "$(nproc)"
}
