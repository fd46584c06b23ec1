#!/usr/bin/env bash
# Makes sure this Debian 12 machine can cross-build the suite and run it under
# Wine: the i386 architecture, the mingw-w64 i686 compiler, 32-bit Wine (and
# 64-bit Wine, for the WOW64 test prefix), Xvfb,
# CMake and the GoogleTest sources. Installs what is missing when run as root;
# otherwise prints the exact commands and stops.
set -euo pipefail

# 32-bit Wine's Direct2D draws through OpenGL, so it needs the i386 Mesa
# libraries.
# The x86-64 compiler builds the tests for machines whose kernel cannot run
# 32-bit code (scripts/test-arch.sh). wixl and msitools make and read the
# installer package; osslsigncode and openssl sign it and its programs.
packages=(cmake make g++-mingw-w64-i686-posix binutils-mingw-w64-i686
          mingw-w64-i686-dev g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
          wine wine32:i386 wine64 xvfb xauth googletest
          clang-format fonts-dejavu-core fonts-liberation fonts-noto-core fonts-noto-cjk
          libgl1:i386 libgl1-mesa-dri:i386 libglx-mesa0:i386
          python3 python3-pil file git
          wixl msitools osslsigncode openssl)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed'; then
    missing+=("$p")
  fi
done
need_arch=0
dpkg --print-foreign-architectures | grep -qx i386 || need_arch=1

if [ "${#missing[@]}" -eq 0 ] && [ "$need_arch" -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "Lensbeacon needs packages that are not installed. As root, run:" >&2
  [ "$need_arch" -eq 1 ] && echo "  dpkg --add-architecture i386" >&2
  echo "  apt-get update" >&2
  echo "  apt-get install -y --no-install-recommends ${missing[*]}" >&2
  exit 1
fi

[ "$need_arch" -eq 1 ] && dpkg --add-architecture i386
export DEBIAN_FRONTEND=noninteractive
# A mirror caught mid-sync serves index files of the wrong size for a while:
# try the update again, and if it keeps failing, install from what did load.
updated=0
for attempt in 1 2 3; do
  if apt-get update -qq; then
    updated=1
    break
  fi
  echo "apt-get update failed (attempt $attempt of 3)" >&2
  [ "$attempt" -lt 3 ] && sleep $((attempt * 15))
done
install=(apt-get install -y -qq --no-install-recommends "${missing[@]}")
if "${install[@]}" >/dev/null; then
  exit 0
fi
[ "$updated" -eq 1 ] && exit 1
# One architecture's security index missing leaves the i386 and amd64
# versions of a shared library out of step, which apt cannot resolve. The
# main archive alone is consistent across architectures: install from it.
echo "Installing from the main archive only: the security archive's package lists could not be read." >&2
preferences=$(mktemp)
trap 'rm -f "$preferences"' EXIT
printf 'Package: *\nPin: release l=Debian-Security\nPin-Priority: -1\n' >"$preferences"
"${install[@]}" -o Dir::Etc::Preferences="$preferences" >/dev/null
