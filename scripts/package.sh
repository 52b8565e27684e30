#!/usr/bin/env bash
# Builds the Debian package: installs what is missing, builds incrementally into
# build/ and runs CPack there, which names the package it wrote.
#   ./scripts/package.sh    then: sudo apt install ./build/vx27-mouse_<version>_<arch>.deb
set -euo pipefail
source "$(dirname "$0")/setup.sh"

vx27_install_packages
vx27_build

cd "$VX27_BUILD"
cpack -G DEB
