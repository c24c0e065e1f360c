#!/usr/bin/env bash
# Installs the build into a scratch folder, as a packager does, and checks
# that every file is where it belongs and says what it should.
# Usage: check_install.sh SOURCE_DIR BUILD_DIR VERSION RELEASE_DATE GUI(0|1)
# No pipefail: "| grep -q" stops reading early, and the writer's SIGPIPE must not count.
set -u
source "$(dirname "$0")/check_lib.sh"
src=$1 build=$2 version=$3 date=$4 gui=$5
need_tool file readelf man

must "$scratch/install.log" "cmake --install failed" env DESTDIR="$scratch/root" cmake --install "$build" --prefix /usr
check_tree "$scratch/root" "$version" "$date" "$gui"

if [ "$gui" = 1 ]; then
  need_tool desktop-file-validate appstreamcli
  id=test.brenvask.Tavilon
  if out=$(desktop-file-validate "$scratch/root/usr/share/applications/$id.desktop" 2>&1) && [ -z "$out" ]; then
    pass "desktop-file-validate finds nothing"
  else
    fail "desktop-file-validate: $out"
  fi
  if out=$(appstreamcli validate --no-net --pedantic "$scratch/root/usr/share/metainfo/$id.metainfo.xml" 2>&1); then
    pass "appstreamcli validate passes"
  else
    fail "appstreamcli validate: $out"
  fi
  # The software catalogue made from the installed files still names the developer.
  appstreamcli compose --no-net --origin tavilon --result-root="$scratch/catalogue" "$scratch/root" \
    >"$scratch/compose.log" 2>&1 || { cat "$scratch/compose.log" >&2; fail "appstreamcli compose failed"; }
  zcat "$scratch"/catalogue/usr/share/swcatalog/xml/tavilon.xml.gz 2>/dev/null | grep -q '<developer_name>Brenvask<' \
    && pass "appstreamcli compose keeps the developer's name" || fail "appstreamcli compose lost the developer's name"
fi
finish
