#!/usr/bin/env bash
# Proves a memory limit costs neither the window nor its output: Select, Copy, a clipboard reader.
# Usage (under with_x_server.sh): memory_limit.sh PROGRAM
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"
PROGRAM=$(realpath "$1")
e2e_setup
printf '%s\n' alpha bravo charlie delta echo foxtrot golf hotel india juliet >ten.txt
stat_field() { awk -v f="$1" '{ print $f }' "/proc/$APP/stat"; }
settled() { # under 0.05 s of processor time in a second: the press or copy is over
  local before
  before=$(($(stat_field 14) + $(stat_field 15))) && sleep 1 &&
    [ $(($(stat_field 14) + $(stat_field 15) - before)) -lt 5 ]
}
messages() { xdotool search --onlyvisible --name '^Brenvask Tavilon$' | grep -vx "$MAIN" || true; }
no_message() { [ -z "$(messages)" ]; }
press() { # press NAME X: the button at X clicked and its work waited for; $message: its message
  click_at "$MAIN" "$2" $((192 + menu))
  wait_until 120 settled || true
  program_ended && fail "The program ended at $1"
  message=$(messages | head -n 1)
  [ -z "$message" ] || close_box "$message"
  wait_until 10 no_message || fail "The message after $1 did not close"
}
# limit BYTES: from now on the program may map BYTES more than it has mapped (its soft limit).
limit() { prlimit --pid "$APP" --as="$(($(stat_field 23) + $1)):"; }
unlimit() { prlimit --pid "$APP" --as=unlimited:; }
kept() { # kept WHEN: another program reads the million picks from the clipboard, and ours lives on
  local lines
  lines=$(timeout 20 xclip -o -selection clipboard | wc -l) || true # waits on a dead program
  program_ended && fail "The program ended when another program read the clipboard $1"
  [ "$lines" -eq 1000000 ] || fail "The clipboard held $lines lines, not the million picks, $1"
}

start_program "$PROGRAM" ten.txt
geometry_of "$MAIN"
menu=$((HEIGHT - 480)) # the menu bar's height: the client area is 480 high
click_at "$MAIN" 132 $((148 + menu)) # the picks box
xdotool type --delay 50 1000000
limit 300000000 # about half of what a million picks take
press "Select under a memory limit" 260
[ -n "$message" ] || fail "Select under a memory limit showed no message"
unlimit
press "Select" 260
press "Copy" 164
kept "after Select and Copy"
limit 0
kept "under a memory limit"
press "Select under a memory limit with the output full" 260
press "Copy under a memory limit" 164
kept "after Copy under a memory limit"
unlimit
press "Copy" 164
kept "after Select and Copy under a memory limit"
close_and_end
