#!/usr/bin/env bash
# The road of a typical use, driven from outside in a real X server: Load, Select, Copy,
# Save, resize, About, the windows closed one by one. Run under an X server (tests/e2e/with_x_server.sh).
# Usage: typical_use.sh PROGRAM PICK_TOOL [SCREENSHOT_DIR]
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"
PROGRAM=$(realpath "$1")
PICK=$(realpath "$2")
SHOTS=${3:+$(realpath "$3")}

e2e_setup
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$work/.runtime}
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
mkdir -p "$work/lists"
cp "$(dirname "$0")/../../samples/words.txt" "$work/lists/words.txt"
echo "not a word list" > "$work/a-note.txt"
cd "$work"

echo "typical use"
# -reverse, as a right-to-left language, would mirror the menus and lists: the clicks below find them left to right.
"$PROGRAM" -reverse 2>"$E2E_LOG" &
APP=$!
# Generous: the first start on a fresh machine may build caches.
main=$(window_id "Brenvask Tavilon" 60)
[ -n "$main" ] || fail "the main window did not appear"
xdotool windowactivate --sync "$main"
geometry_of "$main"
menu=$((HEIGHT - 480)) # the client area is 551 x 480 below the menu bar
[ "$WIDTH" -eq 551 ] || fail "main window is $WIDTH wide, not 551"

# shot WINDOW NAME: a picture of the window with its frame, when pictures are asked for.
shot() {
  [ -z "$SHOTS" ] && return
  sleep 0.3 && geometry_of "$1"
  import -window root -crop "$((WIDTH + 2))x$((HEIGHT + 24))+$((X - 1))+$((Y - 23))" "$SHOTS/$2.png"
}
visible_windows() { xdotool search --onlyvisible --name '.*' 2>/dev/null | wc -l; }
open_menu_item() { # open_menu_item MENU_X DOWN_PRESSES
  local before
  before=$(visible_windows)
  click_at "$main" "$1" $((menu / 2))
  more_windows() { [ "$(visible_windows)" -gt "$before" ]; }
  wait_until 10 more_windows || fail "the menu did not open"
  sleep 0.1
  local i
  for ((i = 0; i < $2; i++)); do xdotool key Down; done
  xdotool key Return
}

note "File > Load, open the folder lists, pick words.txt, Ok"
open_menu_item 15 1
dialog=$(window_id "Load")
[ -n "$dialog" ] || fail "the open dialog did not appear"
click_at "$dialog" 60 56 # the folder list; its last row is the subfolder "lists"
xdotool key End Return
in_lists() { xdotool search --onlyvisible --name "^Dialog Box - \\[.*/lists\\]\$"; }
wait_until 10 in_lists || fail "the folder did not open: caption $(xdotool getwindowname "$dialog")"
click_at "$dialog" 180 56 # the first entry of the file list
shot "$dialog" open-dialog
click_at "$dialog" 192 212 # Ok
wait_until 10 window_gone "Load" || fail "the open dialog stayed open"

note "five picks, Select, Copy to Clipboard"
click_at "$main" 132 $((148 + menu)) # the number-of-picks box
xdotool type --delay 50 "5"
click_at "$main" 260 $((192 + menu)) # Select
click_at "$main" 164 $((192 + menu)) # Copy to Clipboard
expected=$("$PICK" pick -n 5 lists/words.txt | sed 's/$/\r/' | od -An -tx1 | tr -d ' \n')
wait_until 5 test "$(clipboard_bytes)" = "$expected" || fail "clipboard holds $(clipboard_bytes), expected $expected"
shot "$main" main-window

note "File > Save over a-note.txt, clicked in the file list, saved"
open_menu_item 15 2
dialog=$(window_id "Load")
[ -n "$dialog" ] || fail "the save dialog did not appear"
click_at "$dialog" 180 56 # a-note.txt, the folder's one file: the click puts its name in the name box
click_at "$dialog" 192 215 # Ok
count_messages() { [ "$(xdotool search --onlyvisible --name '^Brenvask Tavilon$' | wc -l)" -ge 2 ]; }
wait_until 10 count_messages || fail "no \"saved\" message appeared"
xdotool key Return
wait_until 10 window_gone "Load" || fail "the save dialog stayed open"
[ "$(file_bytes a-note.txt)" = "${expected}0d0a" ] || fail "a-note.txt holds $(file_bytes a-note.txt)"

note "resize: controls follow the window"
# Colour probes away from the picks' text: the output box's colour where the
# starting window puts it, and "Clear" where the larger window puts it.
geometry_of "$main"
probe() { pixel_at $((X + $1)) $((Y + menu + $2)); }
output="192 189 255"
[ "$(probe 300 230)" = "$output" ] || fail "no output box at its starting place: $(probe 300 230)"
[ "$(probe 60 290)" = "$output" ] || fail "unexpected colour below Clear: $(probe 60 290)"
xdotool windowsize --sync "$main" 827 $((720 + menu))
wide() { geometry_of "$main"; [ "$WIDTH" -eq 827 ] && [ "$(probe 400 600)" = "$output" ]; }
wait_until 10 wide || fail "the output box did not grow: $(probe 400 600)"
[ "$(probe 300 230)" != "$output" ] || fail "the output box did not leave its old place"
[ "$(probe 60 290)" != "$output" ] || fail "Clear did not move into its new place: $(probe 60 290)"
shot "$main" main-window-larger

note "About > Brenvask; closing the main window leaves the About window running"
open_menu_item 73 1
about=$(window_id "Brenvask")
[ -n "$about" ] || fail "the About window did not appear"
xdotool windowactivate --sync "$main"
xdotool key alt+F4 # the window manager's close: WM_DELETE_WINDOW
wait_until 10 window_gone "Brenvask Tavilon" || fail "the main window did not close"
sleep 0.3
kill -0 "$APP" 2>/dev/null || fail "the program ended with the About window still open"
xdotool search --onlyvisible --name '^Brenvask$' >/dev/null || fail "the About window closed too"
xdotool windowactivate --sync "$about"
xdotool key alt+F4
wait_until 10 bash -c "! kill -0 $APP" || fail "the program still runs with no window open"
wait "$APP" || fail "the program exited with status $?"

note "the close box of a window under a message does nothing; the message's own dismisses it"
"$PROGRAM" missing.txt 2>"$E2E_LOG" &
APP=$!
ours() { xdotool search --onlyvisible --name '^Brenvask Tavilon$' | sort -n; } # oldest first
titled() { [ "$(ours | wc -l)" -eq "$1" ]; }
wait_until 60 titled 2 || fail "no message for a missing list"
read -r main message < <(ours | paste -sd ' ')
close_request "$main"
sleep 0.5
titled 2 || fail "the main window or the message closed at the main window's close box"
close_request "$message"
wait_until 10 titled 1 || fail "the message stayed after its close box"
close_request "$main"
wait_until 10 bash -c "! kill -0 $APP" || fail "the program still runs after the close box"
wait "$APP" || fail "the program exited with status $?"
APP=

if [ -n "${TAVILON_DRAG_SOURCE:-}" ]; then
  note "real drops: a file whose name is not UTF-8 loads; 1,000,001 lines are refused before any work"
  printf 'uno\ndos\ntres\n' >"caf"$'\xe9'".txt"
  "$PROGRAM" 2>"$E2E_LOG" &
  APP=$!
  main=$(window_id "Brenvask Tavilon" 60)
  [ -n "$main" ] || fail "the main window did not appear"
  drop() { # drop WHAT VALUE: dragged from the stand-in source onto the output box
    timeout 30 "$TAVILON_DRAG_SOURCE" "$1" "$2" &
    local source=$! from
    from=$(window_id "drag source") && geometry_of "$from"
    xdotool mousemove --sync $((X + 50)) $((Y + 50)) mousedown 1
    geometry_of "$main"
    for step in 40 20 0; do xdotool mousemove --sync $((X + 300 + step)) $((Y + menu + 300)); sleep 0.2; done
    xdotool mouseup 1
    wait "$source" || fail "the drag of $1 did not end"
  }
  drop url "file://$work/caf%E9.txt"
  click_at "$main" 132 $((148 + menu)) # the number-of-picks box
  xdotool type --delay 50 "2"
  click_at "$main" 260 $((192 + menu)) # Select
  click_at "$main" 164 $((192 + menu)) # Copy to Clipboard
  expected=$("$PICK" pick -n 2 "caf"$'\xe9'".txt" | sed 's/$/\r/' | od -An -tx1 | tr -d ' \n')
  wait_until 10 test "$(clipboard_bytes)" = "$expected" || fail "the dropped caf\\xe9.txt gave $(clipboard_bytes)"
  drop lines 1000001
  wait_until 10 titled 2 || fail "no message refused 1,000,001 dropped lines"
  xdotool key Return
  close_request "$main"
  wait_until 10 bash -c "! kill -0 $APP" || fail "the program did not end after the drops"
  APP=
fi

echo "1 passed, 0 failed"
