#!/usr/bin/env bash
# Holds the core libraries to plain code: no object in them may call into a
# Windows DLL directly. An object that does shows an undefined "__imp_" symbol
# (a call through the import table) or an undefined name that a Win32 import
# library defines (an address taken of a Windows function). The system calls
# belong in the *_win32 adapter libraries.
#
# A core may also reach Windows through a shared library it links: every
# "--through LIB" names one, and a function defined by an object of LIB that
# itself calls Windows counts as a Windows call too. The C runtime's own
# functions are allowed.
#   core_imports_check.sh NM IMPORT_LIBRARY_FOLDER [--through LIB]... CORE_LIBRARY...
set -euo pipefail
nm=${1:?nm tool}
libdir=${2:?import library folder}
shift 2
through=()
while [ "${1:-}" = --through ]; do
  through+=("${2:?library after --through}")
  shift 2
done
[ $# -gt 0 ] || { echo "no core library given"; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Every name the Win32 import libraries define, and the C runtime's.
for lib in kernel32 user32 advapi32 setupapi wtsapi32 userenv shell32 gdi32 ole32 shlwapi; do
  "$nm" --defined-only "$libdir/lib$lib.a" 2>/dev/null | awk 'NF == 3 {print $3}'
done | sort -u >"$work/win32"
[ -s "$work/win32" ] || { echo "no import library read in $libdir"; exit 2; }
"$nm" --defined-only "$libdir/libmsvcrt.a" 2>/dev/null | awk 'NF == 3 {print $3}' | sort -u >"$work/crt"
[ -s "$work/crt" ] || { echo "no C runtime library read in $libdir"; exit 2; }

# The Windows calls among a list of undefined names (one per line, sorted).
windows_calls() {
  { grep '^__imp_' "$1" || true; comm -12 "$1" "$work/win32"; } | sort -u | comm -23 - "$work/crt"
}

# Functions of the shared libraries whose objects call Windows.
: >"$work/through"
for library in "${through[@]}"; do
  [ -f "$library" ] || { echo "missing $library"; exit 2; }
  # nm -A starts each line "LIB:OBJECT:" and, for defined names, the address.
  by_object='{sub(/:[0-9a-fA-F]*$/, "", $1); print $1, $NF}'
  "$nm" -A -u "$library" | awk "$by_object" >"$work/undefined_by_object"
  "$nm" -A --defined-only --extern-only "$library" | awk "$by_object" >"$work/defined_by_object"
  while read -r object; do
    awk -v o="$object" '$1 == o {print $2}' "$work/undefined_by_object" | sort -u >"$work/one"
    if [ -n "$(windows_calls "$work/one")" ]; then
      awk -v o="$object" '$1 == o {print $2}' "$work/defined_by_object"
    fi
  done < <(awk '{print $1}' "$work/undefined_by_object" | sort -u)
done | sort -u >"$work/through"

fail=0
for library in "$@"; do
  [ -f "$library" ] || { echo "missing $library"; exit 2; }
  "$nm" -u "$library" | awk 'NF == 2 {print $2}' | sort -u >"$work/undefined"
  found=$( { windows_calls "$work/undefined"; comm -12 "$work/undefined" "$work/through"; } | sort -u)
  if [ -n "$found" ]; then
    echo "FAILED: $(basename "$library") calls Windows directly:"
    sed 's/^/  /' <<<"$found"
    fail=1
  else
    echo "ok: $(basename "$library") makes no Windows call"
  fi
done
exit $fail
