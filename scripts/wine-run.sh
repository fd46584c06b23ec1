#!/usr/bin/env bash
# Runs a Windows program in the private Wine prefix started by wine-prefix.sh.
#   wine-run.sh PREFIX PROGRAM [ARGS...]
set -euo pipefail
prefix=$(realpath -m "${1:?prefix folder}"); shift
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ -f "$prefix.state/display" ]; then
  export DISPLAY=$(cat "$prefix.state/display")
fi
# 64-bit programs (the test build for machines without 32-bit execution) go
# to the 64-bit loader directly: the wine wrapper would try the 32-bit one.
# The kind is read whole (no pipe into an early-exiting grep, whose broken
# pipe would fail the test under pipefail and pick the wrong loader).
case "$(file -b "$1")" in
  PE32+*)
    export WINELOADER=/usr/lib/wine/wine64
    exec /usr/lib/wine/wine64 "$@"
    ;;
esac
exec wine "$@"
