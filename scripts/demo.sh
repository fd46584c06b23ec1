#!/usr/bin/env bash
# The suite's main job, live in Wine, the way an administrator deploys it:
# install what is missing, build every program and the package into dist/,
# then in a fresh Wine prefix install Lensbeacon.msi silently, hold a video
# call on a simulated laptop camera (USB, Camera class, on the root hub; a
# calling program runs while the camera is in D0 and its record holds it),
# wait for the indicator and save pictures of it and of the screen in dist/,
# end the call, open the settings dialog and save its picture, remove the
# package silently and show that nothing is left.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${LENSBEACON_BUILD_DIR:-$root/build}
step() { printf '\n== %s\n' "$*"; }

step "Installing what is missing and building (scripts/build.sh)"
bash "$root/scripts/build.sh" >/dev/null
echo "Built into $root/dist:"
for f in "$root"/dist/*; do
  [ -f "$f" ] || continue  # the policy/ templates are no program
  printf '  %-20s %8d bytes  %s\n' "$(basename "$f")" "$(stat -c %s "$f")" \
    "$(file -b "$f" | cut -d, -f1)"
done

# Where the kernel cannot execute 32-bit code, the demo runs the 64-bit build
# of the same sources and its x64 package in a 64-bit prefix
# (scripts/test-arch.sh).
arch=win32
if [ "$(bash "$root/scripts/test-arch.sh")" = 64 ]; then
  step "This kernel runs no 32-bit code: using the 64-bit build and its x64 package"
  bash "$root/scripts/build64.sh" >/dev/null
  build=${LENSBEACON_BUILD64_DIR:-$root/build64}
  arch=win64
fi
signed="UNSIGNED (set LENSBEACON_SIGN_CERT and LENSBEACON_SIGN_KEY to sign it)"
[ -n "${LENSBEACON_SIGN_CERT:-}" ] && signed="signed with $LENSBEACON_SIGN_CERT"
echo "Package: $build/dist/Lensbeacon.msi ($(stat -c %s "$build/dist/Lensbeacon.msi") bytes, $signed)"

prefix="$build/demo-prefix"
step "Creating a fresh Wine prefix (up to a minute)"
bash "$root/scripts/wine-prefix.sh" stop "$prefix"
rm -rf "$prefix" "$prefix.state"
# Armed before the start, so a start that fails half-way (Xvfb up, wineboot
# failed) leaves nothing running either.
trap 'bash "$root/scripts/wine-prefix.sh" stop "$prefix"' EXIT
bash "$root/scripts/wine-prefix.sh" start "$prefix" "$arch"

step "Installing, showing the camera, removing (in Wine)"
# reg.exe, run by the package for its settings key, reports on the console.
LENSBEACON_DIST="$build/dist" LENSBEACON_SCREENSHOTS="$root/dist" \
  bash "$root/scripts/wine-run.sh" "$prefix" "$build/demo/lensbeacon_demo.exe" |
  tr -d '\r' | grep -v '^reg: '

step "What the prefix's disk holds afterwards"
drive="$prefix/drive_c"
for folder in "Program Files/Lensbeacon" "Program Files (x86)/Lensbeacon"; do
  name="C:\\${folder//\//\\}"
  if [ -e "$drive/$folder" ]; then echo "  left: $name"; else echo "  no $name"; fi
done
echo
echo "Screenshots: $root/dist/demo-indicator.png, demo-screen.png, demo-settings.png"
