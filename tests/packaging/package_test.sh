#!/usr/bin/env bash
# package_test.sh <build folder> <source folder> <expected layout>
#
# The Debian package end to end, without root and without installing anything:
# CPack builds it into a temporary folder; its control fields, file list and
# maintainer scripts are checked; lintian finds no error or warning; the
# desktop entry and the AppStream file are validated; it is unpacked with
# dpkg-deb -x and both programs are started from the unpacked tree through
# their links in usr/bin/, so they have to find their data through their own
# executable's real path. Every wait is bounded.
set -euo pipefail

build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
expected=$3
work=$(mktemp -d "${TMPDIR:-/tmp}/vx27-package.XXXXXX")
program_pid=""
cleanup() {
  if [ -n "$program_pid" ] && kill -0 "$program_pid" 2>/dev/null; then kill -KILL "$program_pid" || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }
step() { echo "== $*"; }
# The programs must not be pointed at the build's install folder.
unset VX27_INSTALL_DIR VX27_EMULATE VX27_UI_SCRIPT

step "build the package"
if ! (cd "$build" && timeout 600 cpack -G DEB -B "$work/out") >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log"
  fail "cpack -G DEB"
fi
debs=("$work"/out/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "expected one .deb, found: ${debs[*]}"
deb=${debs[0]}

step "control fields"
version=$(sed -n 's/^project(vx27 VERSION \([0-9.]*\).*/\1/p' "$source/CMakeLists.txt")
[ -n "$version" ] || fail "no version in CMakeLists.txt"
[ "$(dpkg-deb -f "$deb" Package)" = "vx27-mouse" ] || fail "package name: $(dpkg-deb -f "$deb" Package)"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "version $(dpkg-deb -f "$deb" Version), program $version"
[ "$(basename "$deb")" = "vx27-mouse_${version}_$(dpkg --print-architecture).deb" ] || fail "file name $(basename "$deb")"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
# Libraries found by dpkg-shlibdeps, and the packages of the fonts Font/ links to.
for package in libc6 libstdc++6 libqt6core6 libqt6widgets6 libqt6svg6 libudev1 libjsoncpp25 \
               fonts-wqy-microhei fonts-liberation2 fonts-tlwg-loma-ttf; do
  tr ',' '\n' <<<"$depends" | awk '{ print $1 }' | grep -Fxq "$package" || fail "Depends lacks $package"
done

step "file list"
# "<mode> <owner> <path>[ -> <link target>]", paths without the leading "."
dpkg-deb -c "$deb" | awk '{ line = $1 " " $2 " " substr($6, 2); for (i = 7; i <= NF; ++i) line = line " " $i; print line }' \
  | LC_ALL=C sort >"$work/actual.list"
{
  grep -v '^#' "$expected"
  # skin/ and DefaultData/ carry the source tree's data folders as they are.
  for data in skin DefaultData; do
    (cd "$source/$data" && find . -mindepth 1 -type d) | sed "s|^\./|drwxr-xr-x root/root /usr/lib/vx27-mouse/$data/|; s|$|/|"
    (cd "$source/$data" && find . -type f) | sed "s|^\./|-rw-r--r-- root/root /usr/lib/vx27-mouse/$data/|"
  done
  # Update/: the update images of the source tree and the updater, whose
  # name carries its build date.
  (cd "$source/Update" && find . -type f) | sed "s|^\./|-rw-r--r-- root/root /usr/lib/vx27-mouse/Update/|"
  (cd "$build/bin/Update" && find . -maxdepth 1 -name '升级包-*') \
    | sed "s|^\./\(.*\)|lrwxrwxrwx root/root /usr/lib/vx27-mouse/Update/\1 -> ../vx27updater|"
} | LC_ALL=C sort >"$work/expected.list"
diff -u "$work/expected.list" "$work/actual.list" || fail "the package's files differ from the expected layout (- expected, + packaged)"

step "maintainer scripts"
dpkg-deb -e "$deb" "$work/control"
mkdir "$work/fakebin"
printf '#!/bin/sh\necho "udevadm $*" >>"%s/udevadm.calls"\n' "$work" >"$work/fakebin/udevadm"
chmod +x "$work/fakebin/udevadm"
for script in postinst postrm; do
  [ "$(stat -c %a "$work/control/$script")" = 755 ] || fail "$script is not 0755"
done
# The udevadm stand-in comes first on the path, so the machine's udev is never touched.
run_script() { : >"$work/udevadm.calls"; PATH="$work/fakebin:/usr/bin:/bin" timeout 30 sh "$work/control/$1" "$2" || fail "$1 $2 failed"; }
reload=$'udevadm control --reload-rules\nudevadm trigger --subsystem-match=hidraw --action=change'
if [ -S /run/udev/control ]; then when_udev_runs=$reload; else when_udev_runs=""; fi
echo "udev running: $([ -S /run/udev/control ] && echo yes || echo no)"
for call in "postinst configure:$when_udev_runs" "postrm remove:$when_udev_runs" "postrm purge:$when_udev_runs" \
            "postinst abort-upgrade:" "postrm upgrade:"; do
  args=${call%%:*}
  run_script $args
  [ "$(cat "$work/udevadm.calls")" = "${call#*:}" ] || fail "$args called: $(cat "$work/udevadm.calls")"
done

step "lintian"
# No errors and no warnings; the info-level remarks left are listed in the log.
if ! timeout 300 lintian --fail-on error,warning --display-info "$deb" >"$work/lintian.log" 2>&1; then
  cat "$work/lintian.log"
  fail "lintian"
fi
grep -v '^running with root privileges' "$work/lintian.log" || true

step "unpack"
dpkg-deb -x "$deb" "$work/root"
root=$work/root

step "desktop entry and AppStream description"
desktop-file-validate "$root/usr/share/applications/vx27mouse.desktop" || fail "desktop-file-validate"
metainfo=$root/usr/share/metainfo/org.vx27.mouse.metainfo.xml
timeout 60 appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate --no-net"
grep -q "<release version=\"$version\"" "$metainfo" || fail "the AppStream release is not version $version"
# The AppStream file offers the program for exactly the devices the udev rules open.
rule_ids=$(sed -n 's/.*ATTRS{idVendor}=="\([0-9a-f]\{4\}\)".*ATTRS{idProduct}=="\([0-9a-f]\{4\}\)".*/\1:\2/p' \
             "$root/usr/lib/udev/rules.d/60-vx27.rules" | tr a-f A-F | LC_ALL=C sort -u)
alias_ids=$(sed -n 's|.*<modalias>usb:v\([0-9A-F]\{4\}\)p\([0-9A-F]\{4\}\)d\*</modalias>.*|\1:\2|p' "$metainfo" | LC_ALL=C sort -u)
[ -n "$rule_ids" ] && [ "$rule_ids" = "$alias_ids" ] || fail "udev rules ($rule_ids) and AppStream modaliases ($alias_ids) differ"
for size in 16 24 32 48 64 128 256; do
  file -b "$root/usr/share/icons/hicolor/${size}x${size}/apps/vx27mouse.png" | grep -q "^PNG image data, $size x $size," \
    || fail "icon ${size}x${size}: $(file -b "$root/usr/share/icons/hicolor/${size}x${size}/apps/vx27mouse.png")"
done

step "vx27ctl from the unpacked package"
timeout 60 "$root/usr/bin/vx27ctl" list --emulate mouse >"$work/list.out" || fail "vx27ctl list --emulate mouse: exit $?"
cat "$work/list.out"
# The mouse by cable: slot 4 (command interface) and slot 5 (second interface).
grep -q '^slot 4 kind 2 use 0 vid 320f pid 226e mi 1 col 2 ' "$work/list.out" || fail "slot 4 not listed"
grep -q '^slot 5 kind 2 use 255 vid 320f pid 226e mi 0 col 3 ' "$work/list.out" || fail "slot 5 not listed"

# An empty profile is completed from DefaultData/mouse.Json of the install
# folder, which only the executable's real path leads to: 11 buttons, 7 DPI stages.
profile_from_factory() {
  echo '{}' >"$work/profile.json"
  timeout 60 "$1" profile-records mouse "$work/profile.json" >"$work/records.out" || fail "$1 profile-records: exit $?"
  grep -q '^KeyAssignment\[10\] ' "$work/records.out" && grep -q '^DpiStage\[6\] ' "$work/records.out" \
    || { cat "$work/records.out"; fail "$1 did not read the factory profile"; }
}
profile_from_factory "$root/usr/bin/vx27ctl"
# The same for the build's own bin/ folder, reached through a link elsewhere.
ln -s "$build/bin/vx27ctl" "$work/vx27ctl-link"
profile_from_factory "$work/vx27ctl-link"

step "vx27mouse from the unpacked package, offscreen"
mkdir -m 0700 "$work/run"
mkdir "$work/home" "$work/data" "$work/config"
echo quit >"$work/quit.ui"
trace=$work/vx27mouse.trace
start_program() {
  env HOME="$work/home" XDG_RUNTIME_DIR="$work/run" XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config" \
      QT_QPA_PLATFORM=offscreen VX27_TRACE="$trace" "$@" "$root/usr/bin/vx27mouse" &
  program_pid=$!
}
# Built: the main window's layout came from the unpacked skin ("InitWindow").
# Up: and the identity message it gets once set up showed it ("软件标示 <n>，0d0d").
window_built() { grep -q '^InitWindow' "$trace" 2>/dev/null; }
window_up() { window_built && grep -q '软件标示 [0-9]*，0d0d' "$trace"; }
if grep -q 'VX27_UI_SCRIPT' "$root/usr/lib/vx27-mouse/vx27mouse"; then
  echo "UI scripts: the script's quit ends the program"
  start_program VX27_UI_SCRIPT="$work/quit.ui" timeout 60
  status=0
  wait "$program_pid" || status=$?
  program_pid=""
  [ "$status" -eq 0 ] || { cat "$trace"; fail "vx27mouse with a quitting UI script: exit $status"; }
  # The script may quit before the window is shown; it must have been built.
  window_built || { cat "$trace"; fail "vx27mouse ended without building its window"; }
else
  echo "UI scripts not built into vx27mouse: SIGTERM ends it once its window is up"
  start_program timeout 60
  for _ in $(seq 300); do
    window_up && break
    kill -0 "$program_pid" 2>/dev/null || break
    sleep 0.1
  done
  window_up || { cat "$trace" 2>/dev/null; fail "the window did not come up within 30 s"; }
  kill -TERM "$program_pid"
  status=0
  wait "$program_pid" || status=$?
  program_pid=""
  [ "$status" -eq 0 ] || { cat "$trace"; fail "vx27mouse after SIGTERM: exit $status"; }
fi
grep -Eq 'res\.xml not loaded|^ui: cannot open' "$trace" && { cat "$trace"; fail "the program missed part of its skin"; }

echo "package test passed: $(basename "$deb")"
