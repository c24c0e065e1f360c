#!/usr/bin/env bash
# Packs the build into a .deb with CPack, checks the package's fields and
# files, and has lintian judge it: no errors allowed.
# Usage: check_deb.sh SOURCE_DIR BUILD_DIR VERSION RELEASE_DATE HARDENED(0|1)
# No pipefail: "| grep -q" stops reading early, and the writer's SIGPIPE must not count.
set -u
source "$(dirname "$0")/check_lib.sh"
src=$1 build=$2 version=$3 date=$4 hardened=$5
need_tool cpack dpkg-deb dpkg-shlibdeps lintian

must "$scratch/cpack.log" "cpack could not make the package" \
  cpack --config "$build/CPackConfig.cmake" -G DEB -B "$scratch/out"
arch=$(dpkg --print-architecture)
# The package's version is the one of the changelog's top entry: VERSION-REVISION.
deb_version=$(sed -n '1s/^tavilon (\([^)]*\)).*/\1/p' "$src/packaging/debian/changelog")
[[ $deb_version == "$version-"[0-9]* ]] || fail "the changelog's top version $deb_version is not $version-REVISION"
deb=$scratch/out/tavilon_${deb_version}_$arch.deb
[ -f "$deb" ] || { ls "$scratch/out" >&2; echo "FAIL: no $deb" >&2; exit 1; }
pass "cpack made ${deb##*/}"

field() { dpkg-deb --field "$deb" "$1"; }
for pair in Package=tavilon "Version=$deb_version" Section=utils Priority=optional "Architecture=$arch" \
  "Maintainer=Brenvask <tavilon@brenvask.test>" "Recommends=fonts-liberation, qt6-translations-l10n, qt6-wayland"; do
  [ "$(field "${pair%%=*}")" = "${pair#*=}" ] || fail "${pair%%=*} is $(field "${pair%%=*}"), not ${pair#*=}"
done
depends=$(field Depends)
depends_names=" $(sed -E 's/ *\([^)]*\)//g; s/,/ /g' <<<"$depends") "
for lib in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6; do
  [[ $depends_names == *" $lib "* ]] || fail "Depends lacks $lib: $depends"
done
[ "$failures" -eq 0 ] && pass "the control fields are right (Depends: $depends)"

# Files: exactly the expected ones (check_tree); lintian judges their owner and stripping.
dpkg-deb --extract "$deb" "$scratch/root"
check_tree "$scratch/root" "$version" "$date" 1

# Lintian, with its informational tags too (hardening-no-fortify-functions and
# hardening-no-bindnow are among them): it may report nothing but that the
# first upload closes no bug (this package is not going into an archive).
lintian --tag-display-limit 0 --display-info "$deb" >"$scratch/lintian.log" 2>&1
lintian_status=$?
if [ "$hardened" = 1 ]; then
  for program in tavilon tavilon-pick; do
    symbols=$(readelf --dyn-syms -W "$scratch/root/usr/bin/$program")
    # Stack protection; lintian judges the checked library calls and the relocations.
    grep -q '__stack_chk_fail' <<<"$symbols" || fail "$program is built without stack protection"
  done
  [ "$failures" -eq 0 ] && pass "the programs are hardened"
fi
reports=$(grep -E '^[EWIXP]: ' "$scratch/lintian.log" | grep -v ': initial-upload-closes-no-bugs ')
if [ -n "$reports" ]; then
  printf '%s\n' "$reports" >&2
  fail "lintian reports more than initial-upload-closes-no-bugs"
elif [ "$lintian_status" -ne 0 ] && ! grep -q '^W: ' "$scratch/lintian.log"; then
  fail "lintian failed to run (status $lintian_status)"
else
  pass "lintian reports nothing beyond initial-upload-closes-no-bugs"
fi
finish
