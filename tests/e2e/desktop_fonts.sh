#!/usr/bin/env bash
# Proves the main window takes the desktop's font, and it and a message stay on the screen
# when the font is too large.
# Usage (under with_x_server.sh): desktop_fonts.sh PROGRAM
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"
PROGRAM=$(realpath "$1")
e2e_setup
read -r screen_w screen_h < <(xdotool getdisplaygeometry)
mkdir -p gnome/gtk-3.0 big/gtk-3.0 huge/gtk-3.0 kde tool/qt6ct # each desktop's settings
printf '[Settings]\ngtk-font-name=Cantarell 11\n' >gnome/gtk-3.0/settings.ini
printf '[Settings]\ngtk-font-name=Cantarell 20\n' >big/gtk-3.0/settings.ini
printf '[Settings]\ngtk-font-name=DejaVu Sans 72\n' >huge/gtk-3.0/settings.ini
printf '[General]\nfont=Noto Sans,10,-1,5,50,0,0,0,0,0\n' >kde/kdeglobals
printf '[Fonts]\ngeneral="DejaVu Sans,9,-1,5,400,0,0,0,0,0,0,0,0,0,0,1"\n' >tool/qt6ct/qt6ct.conf
pixel_at() { # pixel_at X Y: the screen's colour there, as "R,G,B"
  import -window root -crop "1x1+$1+$2" -depth 8 txt:- | sed -n '2s/.*(\([0-9,]*\)).*/\1/p'
}

on_screen() { # on_screen WINDOW WHAT: WINDOW's frame wholly on the screen
  frame_of "$1"
  [ $((X - LEFT)) -ge 0 ] && [ $((Y - TOP)) -ge 0 ] && [ $((X + WIDTH + RIGHT)) -le "$screen_w" ] &&
    [ $((Y + HEIGHT + BOTTOM)) -le "$screen_h" ] ||
    fail "$2 ($WIDTH x $HEIGHT at $X,$Y) passes the screen's edge"
}
ARGS=()
run() { # run HOME ENV...: the program (given ARGS) under HOME's settings, wholly on the screen
  start_program env -u XDG_CURRENT_DESKTOP -u KDE_FULL_SESSION -u KDE_SESSION_VERSION \
    -u QT_QPA_PLATFORMTHEME -u QT_FONT_DPI XDG_CONFIG_HOME="$work/$1" "${@:2}" \
    "$PROGRAM" "${ARGS[@]}"
  on_screen "$MAIN" "Under $*, the main window"
}

run bare # no theme: the program's own look
[ "$WIDTH" -eq 551 ] || fail "With no desktop font the main window is $WIDTH wide, not 551"
own_height=$HEIGHT
close_and_end
for desktop in "gnome XDG_CURRENT_DESKTOP=GNOME" \
  "kde XDG_CURRENT_DESKTOP=KDE KDE_FULL_SESSION=true KDE_SESSION_VERSION=5"; do
  run $desktop
  [ "$WIDTH" -gt 551 ] && [ "$HEIGHT" -gt "$own_height" ] ||
    fail "The main window did not grow under ${desktop%% *}'s font"
  close_and_end
done
run big XDG_CURRENT_DESKTOP=GNOME # a font too large for the screen
close_and_end
run bare QT_FONT_DPI=144 # a scale too large for the screen
close_and_end

run tool QT_QPA_PLATFORMTHEME=qt6ct
first_width=$WIDTH
sed -i 's/Sans,9,/Sans,10,/' tool/qt6ct/qt6ct.conf # qt6ct rereads it 3 s after a change
grown() { geometry_of "$MAIN" && [ "$WIDTH" -gt "$first_width" ]; }
wait_until 10 grown || fail "The theme tool's new font did not reach the main window"
[ "$(pixel_at $((X + WIDTH - 8)) $((Y + 40)))" = "89,117,191" ] ||
  fail "After the theme tool's change the main window lost its blue"
[ "$(pixel_at $((X + WIDTH / 2)) $((Y + HEIGHT * 3 / 4)))" = "192,189,255" ] ||
  fail "After the theme tool's change the output box lost its lilac"
close_and_end

# A message under a font far too large for the screen takes a size of it that fits.
ARGS=(/nonexistent.txt)
run huge XDG_CURRENT_DESKTOP=GNOME
windows() { xdotool search --onlyvisible --name '^Brenvask Tavilon$'; }
two_windows() { [ "$(windows | wc -l)" -eq 2 ]; }
wait_until 10 two_windows || fail "No message said the word list was missing"
for window in $(windows); do
  on_screen "$window" "Under a 72-point font, a window"
done
