#!/usr/bin/env bash
# Fails when any C++ source differs from the .clang-format style. The sources
# are the tracked and untracked-but-not-ignored ones; where git cannot list
# them (not installed, no work tree, a checkout owned by another user) the
# source folders are searched instead. Finding no source at all is a failure,
# never a pass.
set -euo pipefail
cd "$(dirname "$0")/.."
if ! list=$(git ls-files -co --exclude-standard -- '*.cpp' '*.h' 2>/dev/null); then
  list=$(find . \( -path './build*' -o -path ./dist -o -path ./bench/out -o -path ./.git \) -prune -o \
    -type f \( -name '*.cpp' -o -name '*.h' \) -print)
fi
files=()
while IFS= read -r f; do
  if [ -n "$f" ] && [ -f "$f" ]; then files+=("$f"); fi
done <<<"$list"
if [ "${#files[@]}" -eq 0 ]; then
  echo "format: no C++ sources found" >&2
  exit 1
fi
clang-format --dry-run -Werror "${files[@]}"
echo "format: ${#files[@]} files match .clang-format"
