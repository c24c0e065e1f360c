#!/usr/bin/env bash
# The windows under the desktop's font, from outside: GNOME's face (through Qt's GTK theme) and KDE's
# (kdeglobals) make the main window grow, and so does a theme tool's live change (qt6ct), which keeps
# its colours; a font or scale too large for the screen leaves every window on it (dialogs and About,
# smaller, share its sizing); with no theme the main window keeps its size.
# Usage (under with_x_server.sh): desktop_fonts.sh PROGRAM
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"
PROGRAM=$(realpath "$1")
e2e_setup
read -r screen_w screen_h < <(xdpyinfo | sed -n 's/.*dimensions: *\([0-9]*\)x\([0-9]*\) pixels.*/\1 \2/p')
for font in "gnome:Cantarell 11" "big:Cantarell 20" "kde:Noto Sans,10"; do # each as its desktop's settings write it
  home=$work/${font%%:*}
  mkdir -p "$home/gtk-3.0" && printf '[Settings]\ngtk-font-name=%s\n' "${font#*:}" >"$home/gtk-3.0/settings.ini"
  printf '[General]\nfont=%s,-1,5,50,0,0,0,0,0\n' "${font#*:}" >"$home/kdeglobals"
done
gnome=(XDG_CURRENT_DESKTOP=GNOME) kde=(XDG_CURRENT_DESKTOP=KDE KDE_FULL_SESSION=true KDE_SESSION_VERSION=5)

on_screen() { # on_screen ID WHAT: the window, frame included, lies on the screen
  local left right top bottom
  wait_until 5 xprop -id "$1" -notype _NET_FRAME_EXTENTS || fail "$2 has no frame"
  read -r left right top bottom < <(xprop -id "$1" -notype _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')
  geometry_of "$1"
  note "$2: $WIDTH x $HEIGHT at $X,$Y, frame $left $right $top $bottom, screen $screen_w x $screen_h"
  [ $((X - left)) -ge 0 ] && [ $((Y - top)) -ge 0 ] || fail "$2 passes the screen's top left corner"
  [ $((X + WIDTH + right)) -le "$screen_w" ] && [ $((Y + HEIGHT + bottom)) -le "$screen_h" ] \
    || fail "$2 passes the screen's bottom right corner"
}
start() { # start HOME ENV...: the program (MAIN, of MAIN_W x MAIN_H) in that home's desktop
  env -u XDG_CURRENT_DESKTOP -u KDE_FULL_SESSION -u KDE_SESSION_VERSION -u QT_QPA_PLATFORMTHEME -u QT_FONT_DPI \
    XDG_CONFIG_HOME="$work/$1" "${@:2}" "$PROGRAM" 2>"$E2E_LOG" &
  APP=$!
  MAIN=$(window_id "Brenvask Tavilon" 60)
  [ -n "$MAIN" ] || fail "no main window under $*"
  on_screen "$MAIN" "the main window under $*"
  MAIN_W=$WIDTH MAIN_H=$HEIGHT
}
stop() { kill "$APP"; wait "$APP" 2>/dev/null || true; APP=; }
start bare # no theme: the program's own look
[ "$MAIN_W" -eq 551 ] || fail "with no theme the main window is $MAIN_W wide, not 551"
own_h=$MAIN_H && stop
for desktop in gnome kde; do
  declare -n session=$desktop
  start "$desktop" "${session[@]}" && stop
  [ "$MAIN_W" -gt 551 ] && [ "$MAIN_H" -gt "$own_h" ] || fail "under $desktop's font the main window did not grow"
done
start big "${gnome[@]}" && stop # a font too large for the screen
start bare QT_FONT_DPI=144 && stop # a scale too large for the screen
if [ -e "$(qtpaths6 --plugin-dir 2>/dev/null)/platformthemes/libqt6ct.so" ]; then # a theme tool's live change
  mkdir -p "$work/tool/qt6ct"
  printf '[Fonts]\ngeneral="DejaVu Sans,9,-1,5,400,0,0,0,0,0,0,0,0,0,0,1"\n' >"$work/tool/qt6ct/qt6ct.conf"
  start tool QT_QPA_PLATFORMTHEME=qt6ct
  sed -i 's/Sans,9,/Sans,10,/' "$work/tool/qt6ct/qt6ct.conf" # it rereads its settings 3 s after they change
  wait_until 10 eval 'geometry_of "$MAIN"; [ "$WIDTH" -gt "$MAIN_W" ]' \
    || fail "the theme tool's new font did not reach the window"
  [ "$(pixel_at $((X + WIDTH - 8)) $((Y + 40)))" = "89 117 191" ] \
    || fail "after the theme tool's change the window lost its blue"
  [ "$(pixel_at $((X + WIDTH / 2)) $((Y + HEIGHT * 3 / 4)))" = "192 189 255" ] \
    || fail "the output box lost its lilac"
  stop
fi
echo "PASS"
