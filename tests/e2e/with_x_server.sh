#!/usr/bin/env bash
# Runs a command under a private virtual X server, gone when the command ends.
# The server picks a free display number itself (-displayfd) and says it only
# once it accepts connections, so real-window tests that run at the same time,
# in this checkout or another, never race for a display, and a program never
# starts before its display is there.
# Usage: with_x_server.sh COMMAND [ARGS...]   (TAVILON_E2E_SCREEN sets the size)
set -euo pipefail
screen=${TAVILON_E2E_SCREEN:-1280x1024x24}
state=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp 3>"$state/display" 2>"$state/server.log" &
server=$!
stop_server() {
  kill "$server" 2>/dev/null || true
  wait "$server" 2>/dev/null || true
  rm -rf "$state"
}
trap stop_server EXIT
for _ in $(seq 600); do # up to 60 s on a machine that is busy
  grep -q '[0-9]' "$state/display" 2>/dev/null && break
  if ! kill -0 "$server" 2>/dev/null; then
    echo "FAIL: the virtual X server did not start:" >&2
    sed 's/^/    /' "$state/server.log" >&2
    exit 1
  fi
  sleep 0.1
done
number=$(tr -dc '0-9' <"$state/display")
if [ -z "$number" ]; then
  echo "FAIL: the virtual X server named no display within 60 s:" >&2
  sed 's/^/    /' "$state/server.log" >&2
  exit 1
fi
export DISPLAY=":$number"
status=0
"$@" || status=$?
exit "$status"
