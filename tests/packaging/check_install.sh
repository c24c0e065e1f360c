#!/usr/bin/env bash
# Proves an install puts exactly the expected files in place, and desktop validators take them.
# Usage: check_install.sh SOURCE_DIR BUILD_DIR VERSION RELEASE_DATE GUI(0|1)
source "$(dirname "$0")/check_lib.sh"
root=$scratch/root share=$root/usr/share id=test.brenvask.Tavilon
must "$scratch/log" "cmake --install failed" env DESTDIR="$root" cmake --install "$2" --prefix /usr
check_tree "$root" "$3" "$4" "$5"
[ "$5" = 1 ] || finish

need_tool desktop-file-validate appstreamcli
out=$(desktop-file-validate "$share/applications/$id.desktop" 2>&1) && [ -z "$out" ] ||
  fail "desktop-file-validate objects to the desktop entry: $out"
out=$(appstreamcli validate --no-net --pedantic "$share/metainfo/$id.metainfo.xml" 2>&1) ||
  fail "appstreamcli validate objects to the metainfo: $out"
# The catalogue made from the installed files finds the icon and names the developer.
out=$(appstreamcli compose --no-net --origin tavilon --result-root="$scratch/cat" "$root" 2>&1) ||
  fail "appstreamcli compose failed: $out"
zcat "$scratch/cat/usr/share/swcatalog/xml/tavilon.xml.gz" | grep -q '<developer_name>Brenvask<' ||
  fail "The catalogue appstreamcli compose made lost the developer's name"
finish
