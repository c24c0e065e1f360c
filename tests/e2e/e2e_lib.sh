# Helpers for driving the real program from outside under an X server. Sourced.
WORDS=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/samples/words.txt

# fail SENTENCE: stops the test with the sentence and a screenshot.
fail() {
  echo "FAIL: $*" >&2
  local shot=/tmp/tavilon-e2e-failure-$$.png
  ! import -window root "$shot" 2>/dev/null || echo "  Screenshot: $shot" >&2
  exit 1
}

# wait_until SECONDS COMMAND...: polls COMMAND until it succeeds; false after SECONDS.
wait_until() {
  local deadline=$(($(date +%s) + $1))
  shift
  until "$@" >/dev/null 2>&1; do
    [ "$(date +%s)" -le "$deadline" ] || return 1
    sleep 0.05
  done
}

# window_id TITLE [SECONDS]: the visible window of that title, waited for.
find_window() { xdotool search --onlyvisible --name "^$1\$" | head -n 1 | grep .; }
window_id() { wait_until "${2:-10}" find_window "$1" && find_window "$1" || true; }
window_gone() { ! find_window "$1"; }
# shown TITLE SENTENCE [SECONDS]: window_id, or fail SENTENCE.
shown() { window_id "$1" "${3:-10}" | grep . || fail "$2"; }

# geometry_of WINDOW: X, Y, WIDTH and HEIGHT of its client area.
geometry_of() {
  read -r X Y WIDTH HEIGHT < <(xwininfo -id "$1" |
    awk -F: '/Absolute upper-left|Width|Height/ { v = v $2 } END { print v }')
}

click_at() { # click_at WINDOW X Y: a click there in the window's client area
  geometry_of "$1"
  xdotool mousemove --sync $((X + $2)) $((Y + $3)) click 1
}

# e2e_work: an empty folder ($work) to work in, gone at the end with the program.
e2e_work() {
  work=$(mktemp -d)
  trap 'set +e; kill ${APP:-} ${WM_PID:-} 2>/dev/null; rm -rf "$work"' EXIT
  export XDG_RUNTIME_DIR=$work/.runtime
  mkdir -m 700 "$XDG_RUNTIME_DIR"
  cd "$work"
  fc-list >/dev/null # the font cache, built before any window is timed
}
e2e_setup() { e2e_work && start_window_manager; }

wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'; }
start_window_manager() { # openbox ($WM_PID), for frames and close boxes
  openbox --sm-disable >/dev/null 2>&1 &
  WM_PID=$!
  wait_until 10 wm_running || fail "The window manager did not start"
}

# start_program COMMAND...: the program ($APP), and its main window ($MAIN) waited for.
start_program() {
  "$@" &
  APP=$!
  MAIN=$(shown "Brenvask Tavilon" "The main window did not appear" 60) # a first start builds caches
}

# close_and_end: the main window's close box ends the program with status 0.
program_ended() { ! kill -0 "$APP"; }
close_and_end() {
  close_box "$MAIN"
  wait_until 10 program_ended || fail "The program still runs after its main window's close box"
  wait "$APP" || fail "The program exited with status $? at its main window's close box"
  APP=
}

# frame_of WINDOW: geometry_of, and its frame's LEFT, RIGHT, TOP and BOTTOM.
framed() { xprop -id "$1" _NET_FRAME_EXTENTS | grep -q =; }
frame_of() {
  wait_until 5 framed "$1" || fail "The window manager did not frame a window"
  read -r LEFT RIGHT TOP BOTTOM < <(xprop -id "$1" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')
  geometry_of "$1"
}

# close_box WINDOW: a click on the close box, at the end of openbox's title bar.
close_box() {
  frame_of "$1"
  xdotool mousemove --sync $((X + WIDTH + RIGHT - TOP / 2)) $((Y - TOP / 2)) click 1
}
