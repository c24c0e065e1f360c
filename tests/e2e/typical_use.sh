#!/usr/bin/env bash
# Proves typical use by real clicks and keys: Load, Select, Copy, Save, close boxes, a dropped list.
# Usage (under with_x_server.sh): typical_use.sh PROGRAM PICK_TOOL DRAG_SOURCE
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"
PROGRAM=$(realpath "$1") PICK=$(realpath "$2") DRAG=$(realpath "$3")
e2e_setup
mkdir lists
cp "$WORDS" lists/words.txt
echo "a note" >a-note.txt
hex() { od -An -tx1 | tr -d ' \n'; }
clipboard() { xclip -selection clipboard -o; }
clipboard_is() { [ "$(clipboard | hex)" = "$1" ]; }
visible_windows() { xdotool search --onlyvisible --name '.*' | wc -l; }
more_windows() { [ "$(visible_windows)" -gt "$1" ]; }
ours() { xdotool search --onlyvisible --name '^Brenvask Tavilon$'; } # the main window, messages
titled() { [ "$(ours | wc -l)" -eq "$1" ]; }

menu_item() { # menu_item X DOWNS: the menu at X on the menu bar, and the item DOWNS down
  local before
  before=$(visible_windows)
  click_at "$MAIN" "$1" $((menu / 2))
  wait_until 10 more_windows "$before" || fail "A click on the menu bar opened no menu"
  xdotool sleep 0.1 key $(printf 'Down %.0s' $(seq "$2")) Return
}
pick_and_copy() { # pick_and_copy N LIST: N typed into the picks box, Select, Copy
  click_at "$MAIN" 132 $((148 + menu)) # the picks box
  xdotool type --delay 50 "$1"
  click_at "$MAIN" 260 $((192 + menu)) # Select
  click_at "$MAIN" 164 $((192 + menu)) # Copy to Clipboard
  expected=$("$PICK" pick -n "$1" "$2" | sed 's/$/\r/' | hex)
  wait_until 5 clipboard_is "$expected" ||
    fail "Select and Copy did not put the $1 picks of $2 on the clipboard: $(clipboard | cat -A)"
}

# -reverse must not mirror the menus and lists, which the clicks find left to right.
start_program "$PROGRAM" -reverse
geometry_of "$MAIN"
menu=$((HEIGHT - 480)) # the menu bar's height: the client area is 480 high
menu_item 15 1 # File > Load
dialog=$(shown Load "File > Load opened no dialog")
click_at "$dialog" 60 56 # the folder list, whose last row is the folder lists
xdotool key End Return
wait_until 10 find_window 'Dialog Box - \[.*/lists\]' ||
  fail "End and Return in the folder list did not open the folder lists"
click_at "$dialog" 180 56 # words.txt, the first file
click_at "$dialog" 192 212 # Ok
wait_until 10 window_gone Load || fail "Ok did not close the open dialog"
pick_and_copy 5 lists/words.txt

menu_item 15 2 # File > Save
dialog=$(shown Load "File > Save opened no dialog")
click_at "$dialog" 180 56 # a-note.txt, the only file: a click puts its name in the name box
click_at "$dialog" 192 215 # Ok
wait_until 10 titled 2 || fail "Save showed no message that it saved"
[ "$(hex <a-note.txt)" = "${expected}0d0a" ] || fail "Save wrote $(cat -A a-note.txt) to a-note.txt"
close_box "$MAIN"
sleep 0.5
titled 2 || fail "The main window's close box closed a window while a message was up"
close_box "$(ours | grep -vx "$MAIN")"
wait_until 10 titled 1 || fail "The message's close box did not dismiss it"
wait_until 10 window_gone Load || fail "The save dialog stayed open after saving"
close_and_end

printf 'uno\ndos\ntres\n' >"caf"$'\xe9'".txt" # a name that is not UTF-8
start_program "$PROGRAM"
timeout 30 "$DRAG" "file://$work/caf%E9.txt" &
drag=$!
geometry_of "$(shown "drag source" "The drag source's window did not appear")"
xdotool mousemove --sync $((X + 50)) $((Y + 50)) mousedown 1
geometry_of "$MAIN"
for step in 40 20 0; do # onto the output box, in steps that the drag follows
  xdotool mousemove --sync $((X + 300 + step)) $((Y + menu + 300)) sleep 0.2
done
xdotool mouseup 1
wait "$drag" || fail "The drag of caf%E9.txt onto the output box did not end in a drop"
pick_and_copy 2 "caf"$'\xe9'".txt"
close_and_end
