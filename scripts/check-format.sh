#!/usr/bin/env bash
# Fails when any tracked C++ source differs from the .clang-format style.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files -co --exclude-standard -- '*.cpp' '*.h' | while read -r f; do [ -f "$f" ] && echo "$f"; done)
[ "${#files[@]}" -eq 0 ] && exit 0
clang-format --dry-run -Werror "${files[@]}"
echo "format: ${#files[@]} files match .clang-format"
