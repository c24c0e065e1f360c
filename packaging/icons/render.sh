#!/usr/bin/env bash
# Renders the application icon's PNG sizes from the SVG into packaging/icons/png.
# Run it after changing the SVG and commit the results; the packaging tests
# fail while a committed PNG differs from a fresh rendering.
# Usage: packaging/icons/render.sh [OUTPUT_FOLDER]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=${1:-$here/png}
mkdir -p "$out"
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert --width "$size" --height "$size" --format png \
    --output "$out/${size}.png" "$here/test.brenvask.Tavilon.svg"
done
