#!/usr/bin/env bash
# Runs a command under a private Xvfb on a free display; -noreset keeps it past its last client.
# Usage: with_x_server.sh COMMAND [ARGS...]; TAVILON_E2E_SCREEN sets the screen's size.
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"
state=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 "${TAVILON_E2E_SCREEN:-1280x1024x24}" -nolisten tcp -noreset \
  3>"$state/display" 2>"$state/log" &
server=$!
trap 'set +e; kill $server; wait $server; rm -rf "$state"' EXIT
wait_until 60 grep -q . "$state/display" || fail "Xvfb did not start: $(cat "$state/log")"
export DISPLAY=:$(cat "$state/display")
"$@"
