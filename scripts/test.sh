#!/usr/bin/env bash
# Builds everything and runs every test (format check, unit, integration and
# end-to-end tiers) through ctest, in the build tree's private Wine prefix.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${LENSBEACON_BUILD_DIR:-$root/build}
bash "$root/scripts/build.sh"
ctest --test-dir "$build" --output-on-failure -j"$(nproc)" "$@"
