#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Renders every picture the game ships from the scene sources in src/.
# The build only uses the PNGs; run this again after changing a scene and
# commit the results.  Needs POV-Ray, ImageMagick, Python 3 and the DejaVu
# fonts; installs them from Debian when missing.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
src=$here/src
font=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf

# Ball diameters in 1x pixels for sizes 1..9; tests/tst_window.cpp checks
# the rendered balls against the same table, so change both together.
diameters=(10 16 21 26 32 37 43 48 52)
icon_sizes=(16 22 24 32 48 64 128 256)

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo=sudo; fi
missing=()
command -v povray >/dev/null || missing+=(povray)
[ -x /usr/bin/convert ] || missing+=(imagemagick)
command -v python3 >/dev/null || missing+=(python3)
[ -f "$font" ] || missing+=(fonts-dejavu-core)
if [ ${#missing[@]} -gt 0 ]; then
  $sudo apt-get update
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi
# Debian's POV-Ray only reads and writes below the current directory and
# /tmp, so every render runs in a scratch directory holding the scenes and
# the font.
work=$(mktemp -d /tmp/tarmelon-render.XXXXXX)
trap 'rm -rf "$work"' EXIT
cp "$src"/*.pov "$src"/*.inc "$font" "$work"/
cd "$work"

# store IN OUT [PNG24|PNG32] [raw]: strip metadata, dates included, so
# rendering an unchanged scene again leaves the file byte for byte the same;
# compress hard, or with "raw" neither filter nor compress; fix the colour
# type so an all-black cell stays an RGB file.
store() {
  mkdir -p "$(dirname "$2")"
  local packing=(-define png:compression-level=9)
  # The first window's pictures are decoded before its first paint: raw they
  # decode ten times faster, and rcc compresses them inside the program.
  [ "${4:-}" = raw ] && packing=(-define png:compression-level=0 -define png:compression-filter=1)
  /usr/bin/convert "$1" -strip "${packing[@]}" \
    -define png:exclude-chunks=date,time "${3:-PNG24}:$2"
}

# pov SCENE W H OUT [povray options...]: renders at W x H and at twice
# that as OUT's @2x twin, unless the options say +NO2X; +RAW stores it raw.
pov() {
  local scene=$1 w=$2 h=$3 out=$4
  shift 4
  local kind=PNG24 twice=1 raw="" opts=()
  for o in "$@"; do
    case $o in
      +UA) kind=PNG32; opts+=("$o") ;;
      +NO2X) twice=0 ;;
      +RAW) raw=raw ;;
      *) opts+=("$o") ;;
    esac
  done
  local scales=(1)
  [ $twice -eq 1 ] && scales+=(2)
  for s in "${scales[@]}"; do
    local dest=$out
    [ "$s" -eq 2 ] && dest=${out%.png}@2x.png
    if ! povray -D +I"$scene" +Orender.png +W$((w * s)) +H$((h * s)) +FN \
        +A0.1 +AM2 +R3 "${opts[@]}" >render.log 2>&1; then
      cat render.log >&2
      echo "render.sh: $scene failed" >&2
      exit 1
    fi
    store render.png "$dest" "$kind" "$raw"
  done
  echo "  ${out#"$here"/}"
}

echo "cells"
pov value.pov 64 63 "$here/values/v00.png" Declare=Diameter=0
for size in $(seq 1 9); do
  d=${diameters[$((size - 1))]}
  pov value.pov 64 63 "$here/values/v$(printf %02d "$size").png" \
    Declare=Diameter="$d" Declare=Blue=0
  pov value.pov 64 63 "$here/values/v$(printf %02d $((size + 9))).png" \
    Declare=Diameter="$d" Declare=Blue=1
done

echo "marker"
for s in 1 2; do
  python3 "$src/marker.py" "$s" marker.pam
  dest=$here/marker.png
  [ "$s" -eq 2 ] && dest=$here/marker@2x.png
  store marker.pam "$dest" PNG32 raw
done
echo "  marker.png"

echo "toolbar"
for name in game records help exit; do
  pov toolbar_$name.pov 32 32 "$here/toolbar/$name.png" +RAW
done

echo "logo and title"
# AM1: +AM2 samples on pixel corners, which smears the logo's
# one-pixel frame line into its neighbours.
pov logo.pov 214 90 "$here/logo.png" +AM1 +RAW
pov title.pov 512 384 "$here/title.png" +RAW

echo "icons"
for size in "${icon_sizes[@]}"; do
  # The window's own icon sizes are decoded at start-up; the larger ones only
  # go to the desktop's icon theme.
  packing=+RAW
  [ "$size" -gt 64 ] && packing=
  if [ "$size" -eq 48 ]; then
    pov icon48.pov 48 48 "$here/icon/tarmelon-48.png" +NO2X $packing
  else
    pov icon.pov "$size" "$size" "$here/icon/tarmelon-$size.png" +UA +NO2X $packing \
      Declare=Size="$size"
  fi
done
