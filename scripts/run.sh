#!/usr/bin/env bash
# Sets everything up on a fresh Debian 12, builds, and starts the program.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh
tavilon_setup
tavilon_build
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No desktop display found (DISPLAY is not set): start build/app/tavilon from a desktop session." >&2
  exit 1
fi
exec build/app/tavilon
