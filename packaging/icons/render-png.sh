#!/usr/bin/env bash
# Renders the hicolor PNG sizes of typeloom.svg with ImageMagick's own drawing
# primitives (Debian's ImageMagick has no SVG reader). Run after changing the icon.
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 22 24 32 48 64 128 256; do
  scale=$(awk "BEGIN { print $size / 128 }")
  mkdir -p "hicolor/${size}x${size}/apps"
  convert -size "${size}x${size}" xc:none \
    -draw "scale $scale,$scale fill '#2b4a6f' roundrectangle 8,8 119,119 20,20" \
    -draw "scale $scale,$scale fill '#f4efe4' path 'M30 96 L56 30 h16 L98 96 h-16 l-6 -17 h-24 l-6 17z M57 66 h14 l-7 -21z'" \
    -draw "scale $scale,$scale fill '#e0a040' roundrectangle 24,102 103,107 3,3" \
    "PNG32:hicolor/${size}x${size}/apps/typeloom.png"
done
