#!/usr/bin/env bash
# Proves builds from copies of the sources, in other folders at other times, give the same .deb.
# Usage: check_reproducible.sh SOURCE_DIR
source "$(dirname "$0")/check_lib.sh"
src=$1

build_package() { # build_package TREE: the project's files copied into TREE/src, built and packed
  mkdir -p "$1/src"
  bash "$src/scripts/project_files.sh" | (cd "$src" && xargs -0 cp --parents -t "$1/src")
  must "$1/log" "Configuring $1 failed" cmake -S "$1/src" -B "$1/build" -DBUILD_TESTING=OFF \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr
  must "$1/log" "Building $1 failed" cmake --build "$1/build" -j"$(nproc)"
  must "$1/log" "Packing $1 failed" cpack --config "$1/build/CPackConfig.cmake" -G DEB -B "$1/out"
}
build_package "$scratch/first"
sleep 1 # other file times
build_package "$scratch/second-tree"
a=$(ls "$scratch"/first/out/*.deb) b=$(ls "$scratch"/second-tree/out/*.deb)
cmp -s "$a" "$b" || fail "Two builds in different folders gave different packages: $(
  diff <(dpkg-deb -c "$a") <(dpkg-deb -c "$b"))"
finish
