#!/usr/bin/env bash
# Checks the built launchers and position store from outside: Lensmemo.dll
# exports the four position functions by undecorated name and carries the
# 20-byte shared data section "GlobalSh"; the launchers carry the execution
# levels their manifests ask for.
#   binary_layout_check.sh DIST_FOLDER
set -euo pipefail
dist=${1:?dist folder}
objdump=i686-w64-mingw32-objdump
fail=0
check() { if ! eval "$2"; then echo "FAILED: $1"; fail=1; else echo "ok: $1"; fi; }

exports=$($objdump -p "$dist/Lensmemo.dll")
for name in GetPositionInformation SetPositionInformation SavePositionInformation \
            RestorePositionInformation; do
  check "export $name" "grep -Eq '^\s*\[ *[0-9]+\] $name\$' <<<\"\$exports\""
done
check "CLensmemo constructor and assignment exported" \
  "grep -q '_ZN9CLensmemoC1Ev' <<<\"\$exports\" && grep -q '_ZN9CLensmemoaSERKS_' <<<\"\$exports\""

section=$($objdump -h "$dist/Lensmemo.dll" | grep -A1 ' GlobalSh ' || true)
check "GlobalSh is 20 bytes" "awk 'NR==1 {exit !(\$3 == \"00000014\")}' <<<\"\$section\""
check "GlobalSh is loaded, shared, writable data" \
  "grep -q 'CONTENTS, ALLOC, LOAD, DATA, SHARED' <<<\"\$section\" && ! grep -q READONLY <<<\"\$section\""

check "Hoistrun asks for administrator rights" \
  "grep -aq 'level=\"requireAdministrator\"' \"$dist/Hoistrun.exe\""
check "Plainrun runs as invoker" "grep -aq 'level=\"asInvoker\"' \"$dist/Plainrun.exe\""
exit $fail
