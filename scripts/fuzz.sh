#!/usr/bin/env bash
# Fuzzes the word-list reader with libFuzzer, AddressSanitizer and UBSan.
# Usage: scripts/fuzz.sh [SECONDS]   (default 30; new inputs go to fuzz/corpus-run)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DTAVILON_BUILD_GUI=OFF -DTAVILON_FUZZ=ON >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target fuzz_word_list >/dev/null
mkdir -p fuzz/corpus-run
echo "Fuzzing the word-list reader for ${seconds} s"
log=$(mktemp)
status=0
build-fuzz/fuzz/fuzz_word_list -max_total_time="$seconds" -max_len=12288 -timeout=10 \
  -artifact_prefix=build-fuzz/ fuzz/corpus-run fuzz/corpus >"$log" 2>&1 || status=$?
grep -E '^Done|ERROR|SUMMARY|Test unit written' "$log" || true
if [ "$status" -ne 0 ]; then
  tail -n 40 "$log" >&2
  echo "The fuzzer found a fault (exit status $status); the input is in build-fuzz/." >&2
fi
rm -f "$log"
exit "$status"
