#!/usr/bin/env bash
# Proves the committed icon PNGs are exactly what the SVG renders to now.
# Usage: check_icons.sh SOURCE_DIR
source "$(dirname "$0")/check_lib.sh"
need_tool rsvg-convert
must "$scratch/log" "Rendering the icon failed" bash "$1/packaging/icons/render.sh" "$scratch/png"
out=$(diff -r "$scratch/png" "$1/packaging/icons/png") ||
  fail "packaging/icons/png differs from the SVG's rendering (run packaging/icons/render.sh): $out"
finish
