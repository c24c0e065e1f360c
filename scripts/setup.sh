#!/usr/bin/env bash
# Installs what building and testing need, from Debian's packages, and
# nothing that is already there. Sourced by run.sh and test.sh.
set -euo pipefail

TAVILON_PACKAGES=(
  build-essential cmake git pkg-config
  qt6-base-dev qt6-base-dev-tools
  # translations: Qt Linguist's tools and Qt's own translations
  qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
  fonts-liberation
  # the desktops' own faces (GNOME's Cantarell, KDE's Noto Sans), Qt's GTK
  # platform theme and a theme tool that changes the look live, for the
  # tests that run the windows under them
  fonts-cantarell fonts-noto-core qt6-gtk-platformtheme qt6ct
  # a Wayland session: Qt's Wayland platform plugin and a headless compositor
  qt6-wayland weston
  xvfb xauth xdotool xclip x11-utils openbox imagemagick
  clang libclang-rt-14-dev
  # failed system calls injected into a save
  strace
  # the install and package checks
  desktop-file-utils appstream appstream-compose lintian librsvg2-bin file dpkg-dev man-db
  # accessibility checks
  at-spi2-core dbus python3-pyatspi
)

tavilon_missing_packages() {
  local p
  for p in "${TAVILON_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      echo "$p"
    fi
  done
}

tavilon_setup() {
  local missing
  # one line, names apart by spaces
  missing=$(tavilon_missing_packages | tr '\n' ' ' | sed 's/ $//' || true)
  if [ -z "$missing" ]; then
    return 0
  fi
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then
      sudo=(sudo)
    else
      echo "Some packages are missing, and installing them needs root (there is no sudo). As root, run:" >&2
      echo "  apt-get update && apt-get install -y --no-install-recommends $missing" >&2
      exit 1
    fi
  fi
  echo "Installing: $missing"
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  # shellcheck disable=SC2086
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing >/dev/null
}

# Configures and builds into build/ (Release, warnings on).
tavilon_build() {
  local top
  top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
  cmake -S "$top" -B "$top/build" -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
  cmake --build "$top/build" -j"$(nproc)"
}

# Run on its own (bash scripts/setup.sh), it does the set-up.
if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  tavilon_setup
  echo "Everything Tavilon needs to build and test is installed."
fi
