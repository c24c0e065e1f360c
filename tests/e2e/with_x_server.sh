#!/usr/bin/env bash
# Runs a command under a private virtual X server, gone when the command ends. A display is free when
# neither its lock file nor its socket in /proc/net/unix exists (the abstract socket is shared by every
# container on the network, lock files are not). The server names its display (-displayfd) once it
# accepts connections. -noreset: a server resets when its last client leaves (the accessibility bus's
# launcher does), refusing the program that connects meanwhile.
# Usage: with_x_server.sh COMMAND [ARGS...]   (TAVILON_E2E_SCREEN sets the size)
set -euo pipefail
screen=${TAVILON_E2E_SCREEN:-1280x1024x24}
state=$(mktemp -d)
server=
stop_server() {
  if [ -n "$server" ]; then
    kill "$server" 2>/dev/null || true
    wait "$server" 2>/dev/null || true
  fi
  server=
}
trap 'stop_server; rm -rf "$state"' EXIT

display_in_use() {
  [ -e "/tmp/.X$1-lock" ] || [ -e "/tmp/.X11-unix/X$1" ] \
    || grep -q "/tmp/.X11-unix/X$1\$" /proc/net/unix 2>/dev/null
}

# start_server NUMBER: true once the server listens on that display.
start_server() {
  : >"$state/display"
  Xvfb ":$1" -screen 0 "$screen" -nolisten tcp -noreset -displayfd 3 3>"$state/display" 2>"$state/server.log" &
  server=$!
  for _ in $(seq 600); do # up to 60 s on a machine that is busy
    grep -q '[0-9]' "$state/display" 2>/dev/null && return 0
    kill -0 "$server" 2>/dev/null || break
    sleep 0.1
  done
  stop_server
  return 1
}

number=
for _ in $(seq 20); do
  candidate=$(( 100 + RANDOM % 900 ))
  display_in_use "$candidate" && continue
  if start_server "$candidate"; then
    number=$candidate
    break
  fi
done
if [ -z "$number" ]; then
  echo "FAIL: no virtual X server could be started; the last one said:" >&2
  sed 's/^/    /' "$state/server.log" >&2
  exit 1
fi
export DISPLAY=":$number"
"$@"
