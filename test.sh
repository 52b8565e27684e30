#!/usr/bin/env bash
# Installs what is missing, builds incrementally and runs the tests headless.
#   ./test.sh [ctest args]             build/: every test; extra arguments go to
#                                      ctest, e.g. ./test.sh -L platform, ./test.sh -R Trace
#   ./test.sh --sanitize [ctest args]  build-asan/: every test but the VM test under
#                                      AddressSanitizer (leaks included) and
#                                      UndefinedBehaviorSanitizer, each fuzz target for
#                                      VX27_FUZZ_SECONDS (default 45) seconds;
#                                      build-tsan/: the suites whose code runs on several
#                                      threads (platform, hid, protocol, emulator) under
#                                      ThreadSanitizer
set -euo pipefail
source "$(dirname "$0")/scripts/setup.sh"

sanitize=0
args=()
for arg in "$@"; do
  if [ "$arg" = "--sanitize" ]; then sanitize=1; else args+=("$arg"); fi
done

vx27_install_packages
export QT_QPA_PLATFORM=offscreen
jobs="$(nproc)"

if [ "$sanitize" -eq 0 ]; then
  vx27_build
  cd "$VX27_BUILD"
  exec ctest --output-on-failure -j "$jobs" "${args[@]}"
fi

suppressions="$VX27_ROOT/tests/sanitizers"
status=0

# AddressSanitizer and UndefinedBehaviorSanitizer: everything but the VM test
# (its kernel and programs run inside QEMU, outside any sanitizer).
export ASAN_OPTIONS="detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1"
export LSAN_OPTIONS="suppressions=$suppressions/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
VX27_BUILD="$VX27_ROOT/build-asan" vx27_build \
  -DVX27_SANITIZE=address -DVX27_BUILD_BENCH=OFF -DVX27_FUZZ_SECONDS="${VX27_FUZZ_SECONDS:-45}"
(cd "$VX27_ROOT/build-asan" && ctest --output-on-failure -j "$jobs" -LE '^vm$' "${args[@]}") || status=1

# ThreadSanitizer: the suites whose code runs on several threads. Only their
# test programs (and the tools they start) are built.
export TSAN_OPTIONS="suppressions=$suppressions/tsan.supp:halt_on_error=1:second_deadlock_stack=1"
VX27_BUILD="$VX27_ROOT/build-tsan" vx27_build \
  -DVX27_SANITIZE=thread -DVX27_BUILD_BENCH=OFF -- \
  platform_tests vx27_platform_peer hid_tests hid_discovery_tests vx27ctl \
  protocol_codec_test protocol_channel_test protocol_cli_test emulator_tests emulator_firmware_test
(cd "$VX27_ROOT/build-tsan" &&
  ctest --output-on-failure -j "$jobs" -L '^(platform|hid|protocol|emulator)$' -LE '^(fuzz|vm)$' \
    "${args[@]}") || status=1

exit "$status"
