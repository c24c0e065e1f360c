#!/usr/bin/env bash
# Pictures of the main window (a list loaded), the open and save dialogs and
# About under fonts a desktop imposes: GNOME's default (Cantarell 11 through
# Qt's GTK theme), KDE's (Noto Sans 10 from kdeglobals), qt6ct with a 10, 12
# and 16 point face and with none configured, 144 dpi with Qt's scaling off,
# and nothing imposed (the program's own look). Needs Xvfb, xrdb, openbox,
# xdotool, ImageMagick and, for its pictures only, qt6ct.
# Usage: [FONT_SETS="gnome kde ..."] scripts/font_screenshots.sh PROGRAM OUTDIR [DISPLAY_NUMBER]
set -euo pipefail
program=$(realpath "$1")
mkdir -p "$2"
out=$(realpath "$2")
display=${3:-57}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../tests/e2e/e2e_lib.sh"
work=$(mktemp -d)
trap 'kill ${APP:-} ${WM_PID:-} ${XVFB:-} 2>/dev/null || true; rm -rf "$work"' EXIT
for i in $(seq 1 40); do echo "word$i"; done >"$work/words.txt"

# shoot WINDOW NAME: the window with its frame.
shoot() {
  sleep 0.5
  geometry_of "$1"
  import -window root -crop "$((WIDTH + 2))x$((HEIGHT + 24))+$((X - 1))+$((Y - 23))" "$out/$2.png"
}

# menu_item WINDOW LEFT DOWN: opens File, or the menu LEFT menus back from
# it (round to the last), then the item DOWN presses down.
menu_item() {
  click_at "$1" 12 8
  sleep 0.3
  local i
  for ((i = 0; i < $2; i++)); do xdotool key Left; done
  for ((i = 0; i < $3; i++)); do xdotool key Down; done
  xdotool key Return
}

# run NAME: one setting, from the environment the caller gave.
run() {
  Xvfb ":$display" -screen 0 2400x1500x24 -nolisten tcp -noreset 2>/dev/null &
  XVFB=$!
  export DISPLAY=":$display"
  wait_until 20 xdpyinfo || fail "no X server"
  [ -z "${XFT_DPI:-}" ] || echo "Xft.dpi: $XFT_DPI" | xrdb -merge
  start_window_manager
  "$program" "$work/words.txt" 2>"$work/log" &
  APP=$!
  main=$(window_id "Brenvask Tavilon" 30)
  [ -n "$main" ] || fail "no main window"
  xdotool windowmove --sync "$main" 20 40
  shoot "$main" "$1-main"
  # Opens a window from the menu and takes it: MENU ITEM TITLE Y NAME.
  open_and_shoot() {
    menu_item "$main" "$1" "$2"
    local id
    id=$(window_id "$3")
    [ -n "$id" ] || fail "no $5 window"
    xdotool windowmove --sync "$id" 1300 "$4"
    shoot "$id" "$shot-$5"
    [ "$5" = about ] || xdotool windowclose "$id"
  }
  local shot=$1
  open_and_shoot 0 1 "Load" 40 open
  open_and_shoot 0 2 "Load" 40 save
  open_and_shoot 1 0 "Brenvask" 800 about
  kill "$APP" "$WM_PID" "$XVFB" 2>/dev/null || true
  wait "$APP" "$WM_PID" "$XVFB" 2>/dev/null || true
  APP= WM_PID= XVFB=
}

sets=" ${FONT_SETS-gnome kde qt6ct dpi144 plain} "
if [[ $sets == *" gnome "* ]]; then
  mkdir -p "$work/gnome/gtk-3.0"
  printf '[Settings]\ngtk-font-name=Cantarell 11\n' >"$work/gnome/gtk-3.0/settings.ini"
  XDG_CONFIG_HOME=$work/gnome XDG_CURRENT_DESKTOP=GNOME run "gnome-cantarell-11"
fi
if [[ $sets == *" kde "* ]]; then
  mkdir -p "$work/kde"
  printf '[General]\nfont=Noto Sans,10,-1,5,50,0,0,0,0,0\n' >"$work/kde/kdeglobals"
  XDG_CONFIG_HOME=$work/kde XDG_CURRENT_DESKTOP=KDE KDE_FULL_SESSION=true KDE_SESSION_VERSION=5 run "kde-noto-10"
fi
for points in ${QT6CT_POINTS-10 12 16 none}; do
  [[ $sets == *" qt6ct "* ]] || break
  conf="$work/config-$points"
  mkdir -p "$conf/qt6ct"
  {
    echo "[Appearance]"
    echo "style=Fusion"
    if [ "$points" != none ]; then
      echo "[Fonts]"
      echo "general=\"DejaVu Sans,$points,-1,5,400,0,0,0,0,0,0,0,0,0,0,1\""
      echo "fixed=\"DejaVu Sans Mono,$points,-1,5,400,0,0,0,0,0,0,0,0,0,0,1\""
    fi
  } >"$conf/qt6ct/qt6ct.conf"
  XDG_CONFIG_HOME=$conf QT_QPA_PLATFORMTHEME=qt6ct run "qt6ct-$points"
done
[[ $sets != *" dpi144 "* ]] || QT_ENABLE_HIGHDPI_SCALING=0 XFT_DPI=144 run "dpi144"
[[ $sets != *" plain "* ]] || run "plain" # nothing imposed: the program's own look
