#!/usr/bin/env bash
# The scalable icons, drawn by hand, look like the bitmaps that make-icons
# draws for the tray and the theme: the same symbol, the same colour, at
# every size compared. No SVG renderer or ImageMagick: skipped (77).
#
#   scalable-icons-match.sh <packaging/icons folder> <build folder>
set -euo pipefail
icons=$1 build=$2
command -v rsvg-convert >/dev/null && command -v compare >/dev/null ||
  { echo "no rsvg-convert or ImageMagick: skipped"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# Pixels that differ by more than a tenth of the colour range, at most 3 %
# of the picture (the edges' anti-aliasing differs a little).
same_picture() {
  local svg=$1 bitmap=$2 size=$3 name
  name=$(basename "$svg" .svg)-$size
  rsvg-convert -w "$size" -h "$size" "$svg" -o "$work/$name-svg.png"
  convert "$bitmap" -background none -flatten "$work/$name-bitmap.png"
  local differing
  differing=$(compare -metric AE -fuzz 10% "$work/$name-svg.png" "$work/$name-bitmap.png" null: 2>&1) || true
  if [[ ! $differing =~ ^[0-9]+$ ]] || ((differing * 100 > 3 * size * size)); then
    echo "FAIL $(basename "$svg") at ${size}px differs from $(basename "$bitmap") in $differing pixels"
    failures=$((failures + 1))
  else
    echo "ok   $(basename "$svg") at ${size}px: $differing of $((size * size)) pixels differ"
  fi
}

theme=$build/icons/hicolor
for size in 16 32 256; do
  same_picture "$icons/pallix.svg" "$theme/${size}x$size/apps/pallix.png" "$size"
done
same_picture "$icons/pallix.svg" "$build/bin/NerrinRed.ico" 32
same_picture "$icons/pallix-searching.svg" "$build/bin/NerrinGray.ico" 32
[ $failures -eq 0 ]
