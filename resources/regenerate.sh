#!/usr/bin/env bash
# Renders the skin's pictures from their SVG sources into images/ (rsvg-convert from
# librsvg2-bin, ImageMagick for the icon). The PNGs are committed, so builds never render.
#   svg/NNN-name.svg   -> images/NNN.png at the SVG's own size
#   svg/spinner.svg    -> images/141.png .. 148.png, turned 45 degrees further each frame
#   svg/icon.svg       -> images/tbtfw.ico with 16, 24, 32, 48 and 256 pixel images
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for source in svg/[0-9][0-9][0-9]-*.svg; do
  name=$(basename "$source")
  rsvg-convert "$source" -o "images/${name%%-*}.png"
done

for frame in 0 1 2 3 4 5 6 7; do
  sed "s/ROTATION/$((frame * 45))/" svg/spinner.svg | rsvg-convert -o "images/$((141 + frame)).png"
done

sizes=(16 24 32 48 256)
icons=()
for size in "${sizes[@]}"; do
  rsvg-convert -w "$size" -h "$size" svg/icon.svg -o "$work/icon-$size.png"
  icons+=("$work/icon-$size.png")
done
convert "${icons[@]}" images/tbtfw.ico
