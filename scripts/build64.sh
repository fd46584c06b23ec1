#!/usr/bin/env bash
# Configures and builds the 64-bit build of the same sources into build64/
# (or $LENSBEACON_BUILD64_DIR), for machines whose kernel cannot execute
# 32-bit code (scripts/test-arch.sh). Run after scripts/build.sh, which
# installs the toolchain.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build64=${LENSBEACON_BUILD64_DIR:-$root/build64}
echo "This kernel cannot execute 32-bit x86 code: using the 64-bit build in $build64." >&2
# The signing files are read from inside the build folder: name them by
# absolute path.
for variable in LENSBEACON_SIGN_CERT LENSBEACON_SIGN_KEY LENSBEACON_SIGN_PASSFILE; do
  if [ -n "${!variable:-}" ]; then export "$variable=$(realpath -m -- "${!variable}")"; fi
done
cmake -S "$root" -B "$build64" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build64" -j"$(nproc)"
