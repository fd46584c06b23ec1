#!/usr/bin/env bash
# Prints "32" when this machine can run the suite's 32-bit programs under Wine,
# and "64" when its kernel cannot execute 32-bit x86 code (IA-32 emulation
# switched off): there the Wine tiers run on a 64-bit build of the same
# sources, while the shipped 32-bit build is still built and layout-checked.
set -euo pipefail
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  echo 32
else
  echo 64
fi
