#!/usr/bin/env bash
# Lines of program code against lines of tests, as the project counts them:
# code is the C++ outside tests/, bench/ and fuzz/; tests are everything
# under tests/ in C++, shell and Python. CMake files count on neither side.
# Prints both counts and their ratio; with --check, exits 1 when the tests
# pass a third of the code.
set -euo pipefail
cd "$(dirname "$0")/.."

count() { if [ $# -gt 0 ]; then cat "$@" | wc -l; else echo 0; fi; }

mapfile -d '' -t files < <(bash scripts/project_files.sh)
mapfile -t code_files < <(printf '%s\n' "${files[@]}" | grep -E '\.(cpp|h)$' \
  | grep -v -E '^(tests|bench|fuzz)/' | while read -r f; do [ -f "$f" ] && echo "$f"; done)
mapfile -t test_files < <(printf '%s\n' "${files[@]}" | grep -E '^tests/.*\.(cpp|h|sh|py)$' \
  | while read -r f; do [ -f "$f" ] && echo "$f"; done)

code=$(count "${code_files[@]}")
tests=$(count "${test_files[@]}")
ratio=$(awk -v t="$tests" -v c="$code" 'BEGIN { printf "%.2f", (c ? t / c : 0) }')
echo "code: $code lines, tests: $tests lines, tests/code: $ratio"
if [ "${1:-}" = "--check" ] && [ $((tests * 3)) -gt "$code" ]; then
  echo "The tests pass a third of the code." >&2
  exit 1
fi
