#!/usr/bin/env bash
# Configures and builds the whole suite (programs and tests) into build/, and
# copies the programs and the administrative templates into dist/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${LENSBEACON_BUILD_DIR:-$root/build}
bash "$root/scripts/setup.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j"$(nproc)"
rm -rf "$root/dist"
mkdir -p "$root/dist"
if compgen -G "$build/dist/*" >/dev/null; then
  cp -r "$build"/dist/* "$root/dist/"
fi
