#!/usr/bin/env bash
# Configures and builds the whole suite (programs and tests) into build/, and
# copies the programs and the administrative templates into dist/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${LENSBEACON_BUILD_DIR:-$root/build}
bash "$root/scripts/setup.sh"
# The signing files are read from inside the build folder: name them by
# absolute path.
for variable in LENSBEACON_SIGN_CERT LENSBEACON_SIGN_KEY LENSBEACON_SIGN_PASSFILE; do
  if [ -n "${!variable:-}" ]; then export "$variable=$(realpath -m -- "${!variable}")"; fi
done
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j"$(nproc)"
rm -rf "$root/dist"
mkdir -p "$root/dist"
if compgen -G "$build/dist/*" >/dev/null; then
  cp -r "$build"/dist/* "$root/dist/"
fi
