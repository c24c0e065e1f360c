# Helpers for driving the real program from outside, under an X server.
# Everything waits on conditions with a deadline; nothing sleeps long.

# fail MESSAGE: stops the test and says whether the program (APP) still runs, its error output
# (E2E_LOG), and where a screenshot of the whole screen (the windows that exist) is.
fail() {
  echo "FAIL: $*" >&2
  if [ -n "${APP:-}" ]; then
    kill -0 "$APP" 2>/dev/null && echo "  the program (pid $APP) still runs" >&2 || echo "  the program has ended" >&2
  fi
  if [ -n "${E2E_LOG:-}" ] && [ -s "$E2E_LOG" ]; then
    echo "  the program's error output:" >&2
    sed 's/^/    /' "$E2E_LOG" | tail -n 40 >&2
  fi
  local shot=${E2E_FAILSHOT:-${TMPDIR:-/tmp}/tavilon-e2e-failure-$$.png}
  ! import -window root "$shot" 2>/dev/null || echo "  screenshot: $shot" >&2
  exit 1
}
note() { echo "  $*"; }

# wait_until SECONDS COMMAND...: polls COMMAND until it succeeds.
wait_until() {
  local limit=$1; shift
  local deadline=$(( $(date +%s%N) + limit * 1000000000 ))
  until "$@" >/dev/null 2>&1; do
    [ "$(date +%s%N)" -lt "$deadline" ] || return 1
    sleep 0.05
  done
}

# window_id TITLE [SECONDS]: the id of the visible window with exactly that
# title, waiting for it up to SECONDS (10); empty when none appeared. Each
# look is a fresh search, so a window that is mapped before its title is
# set, or reparented by the window manager, is still found.
find_window() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1 | grep .; }
window_id() {
  wait_until "${2:-10}" find_window "$1" || true
  find_window "$1" || true
}

window_gone() { ! xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1; }

# Loads X, Y, WIDTH, HEIGHT of a window (its client area, menu bar
# included), in screen coordinates. xwininfo's absolute corner is right
# where a window manager's frame makes xdotool's report off.
geometry_of() {
  local info
  info=$(xwininfo -id "$1")
  X=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$info")
  Y=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$info")
  WIDTH=$(sed -n 's/.*Width: *//p' <<<"$info")
  HEIGHT=$(sed -n 's/.*Height: *//p' <<<"$info")
}

# click_at WINDOW X Y: a left click at a point of the window's client area.
click_at() {
  geometry_of "$1"
  xdotool mousemove --sync $((X + $2)) $((Y + $3))
  xdotool mousedown 1
  sleep 0.05
  xdotool mouseup 1
}

# pixel_at X Y: the screen's colour there as "R G B".
pixel_at() {
  import -window root -crop "1x1+$1+$2" -depth 8 txt:- 2>/dev/null \
    | sed -n '2s/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3/p'
}

clipboard_bytes() { xclip -selection clipboard -o 2>/dev/null | od -An -tx1 | tr -d ' \n'; }
file_bytes() { od -An -tx1 "$1" | tr -d ' \n'; }

wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }

# e2e_setup: $work, an empty folder, and E2E_LOG for the program's error output, gone at the end with
# the program ($APP) and the window manager it starts. On a fresh machine the first program to use fonts
# builds their cache, which can take longer than a window is given to appear: it is built first.
e2e_setup() {
  work=$(mktemp -d)
  E2E_LOG=$(mktemp)
  trap 'kill "${APP:-}" "${WM_PID:-}" 2>/dev/null || true; rm -rf "$work" "$E2E_LOG"' EXIT
  fc-list >/dev/null 2>&1 || true
  start_window_manager
}

# A small window manager, for decorations and the close box.
start_window_manager() {
  local try
  for try in 1 2 3 4 5; do
    openbox --sm-disable >/dev/null 2>&1 &
    WM_PID=$!
    if wait_until 3 wm_running; then
      return 0
    fi
    kill "$WM_PID" 2>/dev/null || true
  done
  fail "the window manager did not start"
}

# close_request WINDOW: what a window manager's close box sends, WM_DELETE_WINDOW, through the X server.
close_request() {
  /usr/bin/python3 - "$1" <<'PY'
import ctypes as c, sys
x = c.cdll.LoadLibrary("libX11.so.6")
x.XOpenDisplay.restype, x.XInternAtom.restype = c.c_void_p, c.c_ulong
x.XInternAtom.argtypes = [c.c_void_p, c.c_char_p, c.c_int]
x.XSendEvent.argtypes = [c.c_void_p, c.c_ulong, c.c_int, c.c_long, c.c_void_p]
class Event(c.Structure):  # an XClientMessageEvent, as long as an XEvent or longer
    _fields_ = [("type", c.c_int), ("serial", c.c_ulong), ("send_event", c.c_int), ("display", c.c_void_p),
                ("window", c.c_ulong), ("message_type", c.c_ulong), ("format", c.c_int), ("data", c.c_long * 19)]
display, window = x.XOpenDisplay(None), int(sys.argv[1])
event = Event(33, 0, 0, None, window, x.XInternAtom(display, b"WM_PROTOCOLS", 0), 32)  # 33: ClientMessage
event.data[0] = x.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
x.XSendEvent(display, window, 0, 0, c.byref(event))
x.XCloseDisplay(display)
PY
}
