#!/usr/bin/env bash
# Builds everything and runs every test (format check, unit, integration and
# end-to-end tiers) through ctest, in the build tree's private Wine prefix.
#
# Where the kernel cannot execute 32-bit code, the shipped 32-bit build is
# still built and checked (format, binary layout, core imports, the shipped
# package's tables and signatures), and the Wine tiers run on
# a 64-bit build of the same sources (scripts/build64.sh, scripts/test-arch.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${LENSBEACON_BUILD_DIR:-$root/build}
bash "$root/scripts/build.sh"
if [ "$(bash "$root/scripts/test-arch.sh")" = 32 ]; then
  ctest --test-dir "$build" --output-on-failure -j"$(nproc)" "$@"
  exit
fi
ctest --test-dir "$build" --output-on-failure -R '^(format|binary_layout|core_imports|package_tables|package_signing)$'
bash "$root/scripts/build64.sh"
build64=${LENSBEACON_BUILD64_DIR:-$root/build64}
ctest --test-dir "$build64" --output-on-failure -j"$(nproc)" -E '^format$' "$@"
