#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Renders the hicolor PNG icons from the scalable SVG. The PNGs are committed,
# so this runs only after the SVG changed: a developer's tool, not a build
# step. Needs rsvg-convert (apt-get install librsvg2-bin) and optipng is used
# when present to keep the files small.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
id=io.github.trilume.Trilume
theme=packaging/icons/hicolor
svg="$theme/scalable/apps/$id.svg"

command -v rsvg-convert >/dev/null || { echo "make-icons: install librsvg2-bin" >&2; exit 1; }
for size in 16 24 32 48 64 128 256; do
  out="$theme/${size}x${size}/apps/$id.png"
  mkdir -p "$(dirname "$out")"
  rsvg-convert --width "$size" --height "$size" --format png --output "$out" "$svg"
  if command -v optipng >/dev/null; then optipng -quiet -o7 -strip all "$out"; fi
  echo "$out"
done
