#!/usr/bin/env bash
# Holds the core libraries to plain code: no object in them may call into a
# Windows DLL directly. An object that does shows an undefined "__imp_" symbol
# (a call through the import table) or an undefined name that a Win32 import
# library defines (an address taken of a Windows function). The system calls
# belong in the *_win32 adapter libraries.
#   core_imports_check.sh NM IMPORT_LIBRARY_FOLDER CORE_LIBRARY...
set -euo pipefail
nm=${1:?nm tool}
libdir=${2:?import library folder}
shift 2
[ $# -gt 0 ] || { echo "no core library given"; exit 2; }

# Every name the Win32 import libraries define (the C runtime's are allowed).
win32_names=$(mktemp)
trap 'rm -f "$win32_names"' EXIT
for lib in kernel32 user32 advapi32 setupapi wtsapi32 userenv shell32 gdi32 ole32 shlwapi; do
  "$nm" --defined-only "$libdir/lib$lib.a" 2>/dev/null | awk 'NF == 3 {print $3}'
done | sort -u >"$win32_names"
[ -s "$win32_names" ] || { echo "no import library read in $libdir"; exit 2; }

fail=0
for library in "$@"; do
  [ -f "$library" ] || { echo "missing $library"; exit 2; }
  undefined=$("$nm" -u "$library" | awk 'NF == 2 {print $2}' | sort -u)
  found=$( { grep '^__imp_' <<<"$undefined" || true; comm -12 <(cat <<<"$undefined") "$win32_names"; } | sort -u)
  if [ -n "$found" ]; then
    echo "FAILED: $(basename "$library") calls Windows directly:"
    sed 's/^/  /' <<<"$found"
    fail=1
  else
    echo "ok: $(basename "$library") makes no Windows call"
  fi
done
exit $fail
