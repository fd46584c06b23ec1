#!/usr/bin/env bash
# Rewrites every tracked C++ source in the .clang-format style.
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files -co --exclude-standard -- '*.cpp' '*.h' | xargs -r clang-format -i
