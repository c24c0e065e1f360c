#!/usr/bin/env bash
# Builds the release tools and prints the benchmark table.
# Usage: scripts/bench.sh [ROUNDS] [--quick | --floors]   (lists are kept in build-bench/lists)
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DTAVILON_BUILD_GUI=OFF -DTAVILON_BUILD_BENCH=ON >/dev/null
cmake --build build-bench -j"$(nproc)" --target tavilon-pick tavilon-bench tavilon-floor >/dev/null
exec build-bench/bench/tavilon-bench "$PWD/build-bench/cli/tavilon-pick" "$PWD/build-bench/lists" "${1:-5}" "${2:-}"
