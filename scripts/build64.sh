#!/usr/bin/env bash
# Configures and builds the 64-bit build of the same sources into build64/
# (or $LENSBEACON_BUILD64_DIR), for machines whose kernel cannot execute
# 32-bit code (scripts/test-arch.sh). Run after scripts/build.sh, which
# installs the toolchain.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build64=${LENSBEACON_BUILD64_DIR:-$root/build64}
echo "This kernel cannot execute 32-bit x86 code: using the 64-bit build in $build64." >&2
cmake -S "$root" -B "$build64" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build64" -j"$(nproc)"
