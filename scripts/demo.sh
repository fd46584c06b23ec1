#!/usr/bin/env bash
# The suite's main job, live in Wine: build every program into dist/, then in
# a fresh 32-bit Wine prefix install the service with InstLenswatch, power a
# simulated camera on and off, print the camera state the service publishes
# as it changes, and uninstall.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${LENSBEACON_BUILD_DIR:-$root/build}
bash "$root/scripts/build.sh" >/dev/null
echo "Built into $root/dist:"
for f in "$root"/dist/*; do
  printf '  %-20s %8d bytes  %s\n' "$(basename "$f")" "$(stat -c %s "$f")" \
    "$(file -b "$f" | cut -d, -f1)"
done
echo

# Where the kernel cannot execute 32-bit code, the demo runs the 64-bit build
# of the same sources in a 64-bit prefix (scripts/test-arch.sh).
arch=win32
if [ "$(bash "$root/scripts/test-arch.sh")" = 64 ]; then
  bash "$root/scripts/build64.sh" >/dev/null
  build=${LENSBEACON_BUILD64_DIR:-$root/build64}
  arch=win64
fi

prefix="$build/demo-prefix"
bash "$root/scripts/wine-prefix.sh" stop "$prefix"
rm -rf "$prefix" "$prefix.state"
echo "Creating a fresh Wine prefix (about a minute the first time)..."
# Armed before the start, so a start that fails half-way (Xvfb up, wineboot
# failed) leaves nothing running either.
trap 'bash "$root/scripts/wine-prefix.sh" stop "$prefix"' EXIT
bash "$root/scripts/wine-prefix.sh" start "$prefix" "$arch"
LENSBEACON_DIST="$build/dist" bash "$root/scripts/wine-run.sh" "$prefix" \
  "$build/demo/lensbeacon_demo.exe" | tr -d '\r'
