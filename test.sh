#!/usr/bin/env bash
# Installs what is missing, builds incrementally and runs every test headless.
# Extra arguments go to ctest, e.g. ./test.sh -L platform or ./test.sh -R Trace
set -euo pipefail
source "$(dirname "$0")/scripts/setup.sh"

vx27_install_packages
vx27_build

export QT_QPA_PLATFORM=offscreen
cd "$VX27_BUILD"
ctest --output-on-failure -j "$(nproc)" "$@"
