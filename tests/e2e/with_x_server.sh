#!/usr/bin/env bash
# Runs a command under a private virtual X server, gone when the command ends.
#
# The display number is one that no server uses, checked both by lock file
# and by the listening sockets in /proc/net/unix: the abstract socket that
# clients try first is shared by every chroot and container on the same
# network, where lock files are not, so a number that looks free by its lock
# file alone can reach another server. The server names its display
# (-displayfd) only once it accepts connections, so no program starts before
# its display is there, and tests that run at the same time never share one.
# -noreset: a server resets when its last client leaves (the accessibility
# bus's launcher sets a property and leaves), and a program connecting
# during the reset is refused ("could not connect to display").
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
status=0
"$@" || status=$?
if [ "$status" -ne 0 ] && [ "$status" -ne 77 ]; then
  echo "the virtual X server (display :$number) said:" >&2
  sed 's/^/    /' "$state/server.log" >&2
  kill -0 "$server" 2>/dev/null && echo "    (it still runs)" >&2 || echo "    (it has ended)" >&2
fi
exit "$status"
