#!/usr/bin/env bash
# Boots a small Linux VM under QEMU (software emulation) whose kernel has uhid,
# so that the real hidraw backend can be exercised against emulated devices.
#
#   tests/vm/vm.sh <build-dir> <scenario-script>
#
# The initramfs holds busybox, the kernel modules hid, uhid, hid-generic,
# evdev and uinput, the program's binaries with their shared libraries, and
# the scenario. The
# scenario's exit status comes back through QEMU's isa-debug-exit device; the
# serial log is printed. Exits 0 on pass, 1 on failure, 77 when the VM cannot
# be started on this machine (ctest reports that as skipped).
set -euo pipefail

BUILD="$(cd "$1" && pwd)"
SCENARIO="$(cd "$(dirname "$2")" && pwd)/$(basename "$2")"
HERE="$(cd "$(dirname "$0")" && pwd)"
CACHE="$BUILD/vm-cache"
WORK="$BUILD/vm-work"
mkdir -p "$CACHE"

skip() { echo "SKIP: $*" >&2; exit 77; }

command -v qemu-system-x86_64 >/dev/null || skip "qemu-system-x86_64 is not installed"
BUSYBOX=/bin/busybox
[ -x "$BUSYBOX" ] && "$BUSYBOX" --list | grep -x insmod >/dev/null || skip "busybox-static is not installed"
command -v cpio >/dev/null || skip "cpio is not installed"

# --- kernel and modules, fetched once into the cache ------------------------
kernel_pkg() {
  apt-cache depends linux-image-amd64 2>/dev/null | awk '/Depends: linux-image-/{print $2; exit}'
}
MODULES="hid uhid hid-generic evdev uinput"
missing=0
for m in $MODULES; do [ -f "$CACHE/$m.ko" ] || missing=1; done
if [ ! -f "$CACHE/vmlinuz" ] || [ "$missing" = 1 ]; then
  pkg="$(kernel_pkg)"
  if [ -z "$pkg" ]; then
    apt-get update -qq >/dev/null 2>&1 || true
    pkg="$(kernel_pkg)"
  fi
  [ -n "$pkg" ] || skip "cannot find Debian's kernel image package"
  dl="$(mktemp -d)"
  (cd "$dl" && apt-get download "$pkg" >/dev/null 2>&1) || { rm -rf "$dl"; skip "cannot download $pkg"; }
  mkdir -p "$dl/x"
  dpkg-deb -x "$dl"/*.deb "$dl/x"
  cp "$dl"/x/boot/vmlinuz-* "$CACHE/vmlinuz"
  for m in $MODULES; do
    f="$(find "$dl/x/lib/modules" -name "$m.ko*" | head -n 1)"
    [ -n "$f" ] || { rm -rf "$dl"; skip "module $m missing from $pkg"; }
    case "$f" in
      *.xz) xz -dc "$f" > "$CACHE/$m.ko" ;;
      *.zst) zstd -dqc "$f" > "$CACHE/$m.ko" ;;
      *) cp "$f" "$CACHE/$m.ko" ;;
    esac
  done
  rm -rf "$dl"
fi

# --- initramfs ---------------------------------------------------------------
rm -rf "$WORK"
ROOT="$WORK/root"
mkdir -p "$ROOT"/{bin,sbin,lib,lib64,proc,sys,dev,tmp,run,modules,vx27}
cp "$BUSYBOX" "$ROOT/bin/busybox"
cp "$CACHE"/*.ko "$ROOT/modules/"

copy_with_libs() {
  local bin="$1"
  cp "$bin" "$ROOT/vx27/"
  ldd "$bin" | awk '/=> \//{print $3} /^[[:space:]]*\/lib/{print $1}' | while read -r lib; do
    [ -e "$ROOT$lib" ] && continue
    mkdir -p "$ROOT$(dirname "$lib")"
    cp -L "$lib" "$ROOT$lib"
  done
}
for b in "$BUILD"/bin/vx27ctl "$BUILD"/bin/vx27-uhid "$BUILD"/bin/vx27-uinput "$BUILD"/bin/vx27updater; do
  [ -x "$b" ] && copy_with_libs "$b"
done
cp -r "$BUILD/bin/DefaultData" "$ROOT/vx27/" 2>/dev/null || true
# The update folder: the images and the updater's own name, a link to it.
if [ -d "$BUILD/bin/Update" ]; then
  mkdir -p "$ROOT/vx27/Update"
  cp "$BUILD"/bin/Update/*.fw "$ROOT/vx27/Update/" 2>/dev/null || true
  for link in "$BUILD"/bin/Update/升级包-*; do
    [ -L "$link" ] && ln -s ../vx27updater "$ROOT/vx27/Update/$(basename "$link")"
  done
fi
cp "$SCENARIO" "$ROOT/scenario.sh"
cp "$HERE/init" "$ROOT/init"
chmod +x "$ROOT/init" "$ROOT/scenario.sh"
(cd "$ROOT" && find . | cpio -o -H newc --quiet) | gzip -1 > "$WORK/initramfs.gz"

# --- boot --------------------------------------------------------------------
LOG="$WORK/serial.log"
set +e
timeout 150 qemu-system-x86_64 -accel tcg -m 1024 -smp 1 -nographic -no-reboot \
  -kernel "$CACHE/vmlinuz" -initrd "$WORK/initramfs.gz" \
  -append "console=ttyS0 quiet loglevel=3 panic=-1" \
  -device isa-debug-exit,iobase=0xf4,iosize=0x04 \
  -serial "file:$LOG" -monitor none -display none > "$WORK/qemu.out" 2>&1
rc=$?
set -e
sed -n "/VX27-VM-BOOTED/,\$p" "$LOG" 2>/dev/null | tr -d "\r"
# isa-debug-exit makes QEMU exit with (value << 1) | 1: the scenario writes 0
# for a pass (exit 1) and 1 for a failure (exit 3).
case "$rc" in
  1) echo "VM scenario passed"; exit 0 ;;
  3) echo "VM scenario FAILED"; exit 1 ;;
  124) echo "VM timed out"; exit 1 ;;
  *)
    if ! grep -q 'VX27-VM-BOOTED' "$LOG" 2>/dev/null; then
      cat "$WORK/qemu.out" >&2
      skip "the VM did not boot here (qemu exit $rc)"
    fi
    echo "VM ended without a verdict (qemu exit $rc)"; exit 1 ;;
esac
