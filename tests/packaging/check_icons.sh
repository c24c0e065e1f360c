#!/usr/bin/env bash
# The committed icon PNGs must be what the SVG renders to now: a changed SVG
# without a fresh packaging/icons/render.sh would ship two different icons.
# Usage: check_icons.sh SOURCE_DIR
# No pipefail: "| grep -q" stops reading early, and the writer's SIGPIPE must not count.
set -u
source "$(dirname "$0")/check_lib.sh"
src=$1
need_tool rsvg-convert
must "$scratch/render.log" "rendering the icon failed" bash "$src/packaging/icons/render.sh" "$scratch"
for size in 16 22 24 32 48 64 128 256; do
  if cmp -s "$scratch/$size.png" "$src/packaging/icons/png/$size.png"; then
    pass "the ${size}px icon is up to date"
  else
    fail "packaging/icons/png/$size.png differs from the SVG's rendering: run packaging/icons/render.sh"
  fi
done
extra=$(cd "$src/packaging/icons/png" && ls | grep -vxE '(16|22|24|32|48|64|128|256)\.png')
[ -z "$extra" ] || fail "unexpected files in packaging/icons/png: $extra"
finish
