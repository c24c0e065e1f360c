#!/usr/bin/env bash
# Runs SCRIPT (accessible_use.py, which says what it checks) in a private session bus with the
# accessibility bus up, given PROGRAM PICK_TOOL WORK_DIR (words.txt in it). Run under with_x_server.sh.
# Usage: accessible_use.sh PROGRAM PICK_TOOL [SCRIPT]. Exits with 77 (skipped) without the tools.
set -euo pipefail
SKIPPED=77
here=$(dirname "$(realpath "$0")")
PROGRAM=$(realpath "$1")
PICK=$(realpath "$2")
SCRIPT=${3:-accessible_use.py}
# Debian's python3-pyatspi serves the system's Python; another python3 earlier
# on PATH may not see it.
PYTHON=/usr/bin/python3
BUS_LAUNCHER=/usr/libexec/at-spi-bus-launcher

if [ "${TAVILON_A11Y_SESSION:-}" != 1 ]; then
  missing=()
  command -v dbus-run-session >/dev/null || missing+=("dbus-run-session (package dbus)")
  command -v dbus-send >/dev/null || missing+=("dbus-send (package dbus)")
  [ -x "$BUS_LAUNCHER" ] || missing+=("$BUS_LAUNCHER (package at-spi2-core)")
  "$PYTHON" -c 'import pyatspi' 2>/dev/null || missing+=("pyatspi for $PYTHON (package python3-pyatspi)")
  if [ ${#missing[@]} -gt 0 ]; then
    echo "SKIP: the accessibility test needs: ${missing[*]}"
    exit $SKIPPED
  fi
  # A private session bus, gone with this test.
  TAVILON_A11Y_SESSION=1 exec dbus-run-session -- bash "$0" "$PROGRAM" "$PICK" "$SCRIPT"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR=$work/.runtime
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
cp "$here/../../samples/words.txt" "$work/words.txt"
echo "not a word list" > "$work/a-note.txt"

# The accessibility bus, inside the private session bus: asking for its
# address starts its launcher, which starts the registry.
bus_address() {
  dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress 2>&1
}
for _ in $(seq 100); do bus_address | grep -q 'unix:' && break; sleep 0.1; done
bus_address | grep -q 'unix:' || { echo "FAIL: no accessibility bus; asking for it gave: $(bus_address)" >&2; exit 1; }

"$PYTHON" "$here/$SCRIPT" "$PROGRAM" "$PICK" "$work"
