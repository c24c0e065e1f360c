#!/usr/bin/env bash
# Sets everything up on a fresh Debian 12, builds, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh
tavilon_setup
# The tests stay within a third of the code by lines.
bash scripts/count_lines.sh --check
bash scripts/fuzz.sh 30
# The benchmarks are built too, so that they keep building.
tavilon_build -DTAVILON_WARNINGS_AS_ERRORS=ON -DTAVILON_BUILD_BENCH=ON
cd build
ctest --output-on-failure -j"$(nproc)"
