#!/usr/bin/env bash
# Program code against tests, by lines and by characters, as the project
# counts them: code is the C++ outside tests/, bench/ and fuzz/; tests are
# everything under tests/ in C++, shell and Python. CMake files count on
# neither side. With --check, exits 1 when the tests pass a third of the
# code by lines, or a test line passes 100 characters. By characters the
# tests are meant to stay within a third too; they are not there yet, so
# that ratio is only printed.
set -euo pipefail
cd "$(dirname "$0")/.."

mapfile -d '' -t files < <(bash scripts/project_files.sh)
existing() { while read -r f; do [ -f "$f" ] && printf '%s\0' "$f"; done; }
mapfile -d '' -t code_files < <(printf '%s\n' "${files[@]}" | grep -E '\.(cpp|h)$' \
  | grep -v -E '^(tests|bench|fuzz)/' | existing)
mapfile -d '' -t test_files < <(printf '%s\n' "${files[@]}" | grep -E '^tests/.*\.(cpp|h|sh|py)$' | existing)

total() { cat "${@:2}" | wc "$1"; }
code_lines=$(total -l "${code_files[@]}")
test_lines=$(total -l "${test_files[@]}")
code_chars=$(total -m "${code_files[@]}")
test_chars=$(total -m "${test_files[@]}")
ratio() { awk -v t="$1" -v c="$2" 'BEGIN { printf "%.2f", (c ? t / c : 0) }'; }
echo "code: $code_lines lines, $code_chars characters"
echo "tests: $test_lines lines, $test_chars characters"
echo "tests/code: $(ratio "$test_lines" "$code_lines") by lines, $(ratio "$test_chars" "$code_chars") by characters"
[ "${1:-}" = "--check" ] || exit 0
status=0
if [ $((test_lines * 3)) -gt "$code_lines" ]; then
  echo "The tests pass a third of the code by lines." >&2
  status=1
fi
if long=$(grep -n -E '^.{101,}$' "${test_files[@]}"); then
  echo "Test lines over 100 characters:" >&2
  echo "$long" | cut -c1-120 >&2
  status=1
fi
exit $status
