#!/usr/bin/env bash
# Checks the built programs from outside: every program and test binary is a
# 32-bit x86 PE image that imports no MinGW runtime DLL (they are linked
# statically and run with nothing beside them); Lensmemo.dll exports the four
# position functions by undecorated name and carries the 20-byte shared data
# section "GlobalSh"; the programs carry the execution levels, DPI awareness
# and resources their manifests and resource scripts give them. The indicator
# asks for UI access exactly when the build signs (SIGNING is "signed" or
# "unsigned").
#   binary_layout_check.sh SIGNING DIST_FOLDER [TEST_BINARY_FOLDER]
set -euo pipefail
case "${1:-}" in
signed) ui_access=true ;;
unsigned) ui_access=false ;;
*) echo "binary_layout_check.sh: first argument must be signed or unsigned" >&2; exit 2 ;;
esac
dist=${2:?dist folder}
testbin=${3:-}
objdump=i686-w64-mingw32-objdump
fail=0
check() { if ! eval "$2"; then echo "FAILED: $1"; fail=1; else echo "ok: $1"; fi; }
# Every uiAccess value a binary's manifests give, each once, on one line.
ui_access_values() { grep -aoE 'uiAccess="[^"]*"' "$1" | sort -u | tr '\n' ' '; }

for binary in "$dist"/*.exe "$dist"/*.dll ${testbin:+"$testbin"/*.exe}; do
  name=$(basename "$binary")
  check "$name is a PE32 Intel 80386 image" "file -b \"$binary\" | grep -q '^PE32 .*Intel 80386'"
  imports=$($objdump -p "$binary" | awk '/DLL Name:/ {print $3}')
  check "$name imports no MinGW runtime DLL" \
    "! grep -Eiq '^(libstdc|libgcc|libwinpthread|mingw)' <<<\"\$imports\""
done

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
# Lenscheck: a console program (its text shows in cmd and PowerShell) that
# needs no administrator rights.
check "Lenscheck runs as invoker without UI access" \
  "grep -aq 'level=\"asInvoker\" uiAccess=\"false\"' \"$dist/Lenscheck.exe\""
subsystem=$($objdump -p "$dist/Lenscheck.exe" | awk '$1 == "Subsystem" {print $2}')
check "Lenscheck is a console program" "[ \"\$subsystem\" = 00000003 ]"
resources=$(i686-w64-mingw32-windres -J coff -O rc -i "$dist/Lenscheck.exe")
check "Lenscheck carries a manifest and a version resource" \
  "grep -q 'RT_MANIFEST' <<<\"\$resources\" && grep -q 'VALUE \"OriginalFilename\", \"Lenscheck.exe\"' <<<\"\$resources\""
for program in Lenswatch InstLenswatch; do
  check "$program asks for administrator rights" \
    "grep -aq 'level=\"requireAdministrator\"' \"$dist/$program.exe\""
done
for os in e2011457-1546-43c5-a5fe-008deee3d3f0 35138b9a-5d96-4fbd-8e2d-a2440225f93a \
          4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38 1f676c76-80e1-4239-95bb-83d0f6d0da78; do
  check "Lenswatch declares supported OS {$os}" "grep -aq '{$os}' \"$dist/Lenswatch.exe\""
done
resources=$(i686-w64-mingw32-windres -J coff -O rc -i "$dist/Lenswatch.exe")
check "Lenswatch carries an icon, a version and a manifest resource" \
  "grep -q 'RT_GROUP_ICON' <<<\"\$resources\" && grep -q 'VERSIONINFO' <<<\"\$resources\" && grep -q 'RT_MANIFEST' <<<\"\$resources\""

# The window programs: the indicator asks for UI access (to stay above other
# programs' windows) only in a signed build, both draw for the screen's real
# DPI, and their pictures, icon and version travel inside them.
for program in LenspopUI Lenspop; do
  check "$program runs as invoker and asks for uiAccess=\"$ui_access\", no other value" \
    "grep -aq 'level=\"asInvoker\" uiAccess=' \"$dist/$program.exe\" && [ \"\$(ui_access_values \"$dist/$program.exe\")\" = 'uiAccess=\"$ui_access\" ' ]"
  check "$program declares five supported OS versions" \
    "[ \$(grep -aoE 'supportedOS Id=\"[{][0-9a-f-]+[}]\"' \"$dist/$program.exe\" | sort -u | wc -l) -eq 5 ]"
  resources=$(i686-w64-mingw32-windres -J coff -O rc -i "$dist/$program.exe")
  check "$program carries its images, icon, manifest and version 1.0.1.3" \
    "grep -q '\"BKGND\" \"IMAGE\"' <<<\"\$resources\" && grep -q '\"BTN_NORMAL\" \"IMAGE\"' <<<\"\$resources\" && grep -q '\"BTN_DOWN\" \"IMAGE\"' <<<\"\$resources\" && grep -q 'RT_GROUP_ICON' <<<\"\$resources\" && grep -q 'RT_MANIFEST' <<<\"\$resources\" && grep -q 'VALUE \"FileVersion\", \"1.0.1.3\"' <<<\"\$resources\""
done
check "Lensdial runs as invoker without UI access" \
  "grep -aq 'level=\"asInvoker\" uiAccess=\"false\"' \"$dist/Lensdial.exe\""
check "Lensdial is DPI-aware" "grep -aq '>true</dpiAware>' \"$dist/Lensdial.exe\""
# The indicator is drawn for the monitor it is on, and carries its images
# at 1.5x and 2x for it.
for program in LenspopUI Lenspop; do
  check "$program is per-monitor DPI-aware" \
    "grep -aq '>true/pm</dpiAware>' \"$dist/$program.exe\" && grep -aq '>PerMonitorV2, PerMonitor</dpiAwareness>' \"$dist/$program.exe\""
  resources=$(i686-w64-mingw32-windres -J coff -O rc -i "$dist/$program.exe")
  check "$program carries its images at 1.5x and 2x" \
    "[ \$(grep -cE '\"(BKGND|BTN_NORMAL|BTN_DOWN)_(150|200)\" \"IMAGE\"' <<<\"\$resources\") -eq 6 ]"
done
resources=$(i686-w64-mingw32-windres -J coff -O rc -i "$dist/Lensdial.exe")
check "Lensdial files its ten images under one language" \
  "[ \$(sed -n '/^LANGUAGE 4, 1\$/,/^LANGUAGE/p' <<<\"\$resources\" | grep -c '\" \"IMAGE\"') -eq 10 ]"
exit $fail
