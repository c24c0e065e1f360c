#!/usr/bin/env bash
# Lists the project's files, NUL-separated, relative to the top of the tree.
# In a git checkout: the files git tracks or would take (untracked ones that
# are not ignored). In a tree without git, such as a release tarball made by
# `git archive`: every file but the build folders and the fuzzer's new inputs.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "$(git rev-parse --show-toplevel 2>/dev/null)" = "$(pwd -P)" ]; then
  git ls-files -co --exclude-standard -z
else
  find . \( -path './build*' -o -path ./fuzz/corpus-run -o -path ./.git \) -prune -o -type f -print0 \
    | sed -z 's|^\./||'
fi
