#!/bin/sh
# Renders the skin's SVG sources to the PNGs the layouts name, with
# vx27_svg2png (build it first: cmake --build build --target vx27_svg2png).
#   tools/skinart/render_skin_images.sh [build folder] [skin folder]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../../build}
skin=${2:-$here/../../skin}
svg2png="$build/bin/vx27_svg2png"
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
render() {  # <svg> <scale>
  "$svg2png" "$1" "${1%.svg}.png" "$2"
}
render "$skin/common/background.svg" 1.5
render "$skin/common/wireless.svg" 2
for f in "$skin"/common/device_ico/*.svg "$skin"/power/*.svg "$skin"/shoot/*.svg; do render "$f" 2; done
# Pictures at twice their size stay sharp at 144 DPI; the key light is a
# nine-slice image whose corners are given in its own pixels, so it keeps
# its size.
for f in "$skin"/device/*.svg; do
  case $(basename "$f") in
    key_light.svg) render "$f" 1 ;;
    *) render "$f" 2 ;;
  esac
done
