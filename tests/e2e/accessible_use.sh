#!/usr/bin/env bash
# Runs SCRIPT (accessible_use.py unless given) in a private session with the accessibility bus.
# Usage (under with_x_server.sh): accessible_use.sh PROGRAM PICK_TOOL [SCRIPT]; 77: skipped.
set -euo pipefail
here=$(dirname "$(realpath "$0")")
if [ "${TAVILON_A11Y_SESSION:-}" != 1 ]; then
  for tool in dbus-run-session /usr/libexec/at-spi-bus-launcher; do
    command -v "$tool" >/dev/null || { echo "SKIP: no $tool (dbus, at-spi2-core)"; exit 77; }
  done
  # python3-pyatspi serves the system's Python, which may not be first on PATH.
  /usr/bin/python3 -c 'import pyatspi' 2>/dev/null || { echo "SKIP: no python3-pyatspi"; exit 77; }
  TAVILON_A11Y_SESSION=1 exec dbus-run-session -- bash "$0" "$@"
fi
source "$here/e2e_lib.sh"
PROGRAM=$(realpath "$1") PICK=$(realpath "$2")
e2e_work
cp "$WORDS" words.txt
bus_up() { # asking for the accessibility bus's address starts it, and its registry
  dbus-send --session --dest=org.a11y.Bus --print-reply /org/a11y/bus org.a11y.Bus.GetAddress
}
wait_until 10 bus_up || fail "The accessibility bus did not start: $(bus_up 2>&1)"
/usr/bin/python3 -B "$here/${3:-accessible_use.py}" "$PROGRAM" "$PICK" "$work"
