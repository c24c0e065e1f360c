#!/usr/bin/env bash
# Builds the package twice, from two copies of the sources in folders of
# different names and file times, and checks that both packages are the
# same bytes. Usage: check_reproducible.sh SOURCE_DIR
set -u
source "$(dirname "$0")/check_lib.sh"
src=$1
need_tool cpack

# The project's files, from git or, in a release tarball, without it.
copy_sources() {
  mkdir -p "$1/src"
  bash "$src/scripts/project_files.sh" | (cd "$src" && xargs -0 cp --parents -t "$1/src")
}

build_package() {
  local tree=$1
  cmake -S "$tree/src" -B "$tree/build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
    -DCMAKE_INSTALL_PREFIX=/usr >"$tree/log" 2>&1 \
    && cmake --build "$tree/build" -j"$(nproc)" >>"$tree/log" 2>&1 \
    && (cd "$tree/build" && cpack -G DEB -B "$tree/out" >>"$tree/log" 2>&1) \
    || { tail -n 30 "$tree/log" >&2; fail "the build in $tree failed"; finish; }
}

copy_sources "$scratch/first"
sleep 1 # other file times for the second copy
copy_sources "$scratch/second-tree"
build_package "$scratch/first"
build_package "$scratch/second-tree"
a=$(ls "$scratch"/first/out/*.deb) b=$(ls "$scratch"/second-tree/out/*.deb)
if cmp -s "$a" "$b"; then
  pass "two builds in different folders give the same package"
else
  fail "the two packages differ"
  for deb in "$a" "$b"; do
    mkdir -p "$deb.x" && dpkg-deb -R "$deb" "$deb.x"
  done
  diff -r "$a.x" "$b.x" >&2
  diff <(dpkg-deb -c "$a") <(dpkg-deb -c "$b") >&2
fi
finish
