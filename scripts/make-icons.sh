#!/usr/bin/env bash
# Renders the programs' icons, assets/icons/{yubimaru,tangobako,seiseki}.svg,
# to the PNG sizes of the hicolor theme with rsvg-convert (Debian:
# librsvg2-bin).
# Run it again after changing a drawing; the PNGs are committed so that a
# build needs no SVG renderer.
set -euo pipefail
cd "$(dirname "$0")/../assets/icons"
for name in yubimaru tangobako seiseki; do
  for size in 16 22 24 32 48 64 128 256; do
    rsvg-convert -w "$size" -h "$size" "$name.svg" -o "$name-$size.png"
  done
done
