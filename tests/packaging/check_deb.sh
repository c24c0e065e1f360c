#!/usr/bin/env bash
# Proves the .deb's version, Depends, files and stack protection, and that lintian takes it.
# Usage: check_deb.sh SOURCE_DIR BUILD_DIR VERSION RELEASE_DATE HARDENED(0|1)
source "$(dirname "$0")/check_lib.sh"
version=$3
need_tool dpkg-shlibdeps lintian
must "$scratch/cpack.log" "cpack could not make the package" \
  cpack --config "$2/CPackConfig.cmake" -G DEB -B "$scratch/out"
deb_version=$(sed -n '1s/^tavilon (\([^)]*\)).*/\1/p' "$1/packaging/debian/changelog")
[[ $deb_version == "$version-"[0-9]* ]] ||
  fail "The changelog's latest version $deb_version is not $version-REVISION"
deb=$scratch/out/tavilon_${deb_version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || { fail "cpack made no ${deb##*/}"; finish; }

depends=$(dpkg-deb --field "$deb" Depends)
for lib in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6; do
  [[ " ${depends//,/ } " == *" $lib "* ]] || fail "The package's Depends lacks $lib: $depends"
done
dpkg-deb --extract "$deb" "$scratch/root"
check_tree "$scratch/root" "$version" "$4" 1
[ "$5" = 0 ] || for program in tavilon tavilon-pick; do # lintian judges the rest of hardening
  readelf --dyn-syms -W "$scratch/root/usr/bin/$program" | grep -q __stack_chk_fail ||
    fail "$program is built without stack protection"
done
# No archive takes the package: its first upload closes no bug.
lintian --tag-display-limit 0 --display-info --suppress-tags initial-upload-closes-no-bugs \
  --fail-on error,warning,info "$deb" >"$scratch/lintian.log" 2>&1 ||
  fail "lintian reports on the package: $(cat "$scratch/lintian.log")"
finish
