#!/usr/bin/env bash
# Runs a Windows program in the private Wine prefix started by wine-prefix.sh.
#   wine-run.sh PREFIX PROGRAM [ARGS...]
set -euo pipefail
prefix=$(realpath -m "${1:?prefix folder}"); shift
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ -f "$prefix.state/display" ]; then
  export DISPLAY=$(cat "$prefix.state/display")
fi
exec wine "$@"
