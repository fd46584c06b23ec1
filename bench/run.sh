#!/usr/bin/env bash
# Builds the suite and the benchmark driver, runs it in a fresh Wine prefix
# and writes bench/report.md.
#   bash bench/run.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${LENSBEACON_BUILD_DIR:-$root/build}
bash "$root/scripts/build.sh" >/dev/null
# Where the kernel cannot execute 32-bit code, the 64-bit build of the same
# sources is measured in a 64-bit prefix (scripts/test-arch.sh).
arch=win32
if [ "$(bash "$root/scripts/test-arch.sh")" = 64 ]; then
  bash "$root/scripts/build64.sh" >/dev/null
  build=${LENSBEACON_BUILD64_DIR:-$root/build64}
  arch=win64
fi
prefix="$build/bench-prefix"
# Armed before the start, so a start that fails half-way leaves nothing running.
trap 'bash "$root/scripts/wine-prefix.sh" stop "$prefix"' EXIT
bash "$root/scripts/wine-prefix.sh" start "$prefix" "$arch"
export LENSBEACON_DIST="$build/dist"
# The machine is shared: its load beside the figures says how far to trust them.
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
table=$(bash "$root/scripts/wine-run.sh" "$prefix" "$build/bench/lensbeacon_bench.exe" | tr -d '\r')
load_after=$(cut -d' ' -f1-3 /proc/loadavg)
# The installer package, installed and removed in the same prefix.
package_rows=$(bash "$root/bench/package_bench.sh" "$prefix" "$build/dist/Lensbeacon.msi")
{
  echo "# Lensbeacon benchmarks"
  echo
  echo "Measured under Wine $(wine --version | sed 's/wine-//') ($arch build, the programs of dist/) on"
  echo "$(nproc) cores ($(grep -m1 'model name' /proc/cpuinfo | sed 's/.*: //')), $(date -u +%Y-%m-%d),"
  echo "with \`bash bench/run.sh\`; load average (1, 5, 15 min) $load_before before the run and"
  echo "$load_after after it. Wine has no USB hubs and no kernel logger, so USB"
  echo "watch mode runs after the trace's fail-over: a check every second. Each"
  echo "figure of the indicator and the settings dialog stands beside its floor, a bare"
  echo "program measured the same way in the same run."
  echo
  echo "$table"
  echo
  echo "| installer package ($arch build) | result | how |"
  echo "|---|---|---|"
  echo "$package_rows"
  echo
  echo "| program (shipped 32-bit build, dist/) | size |"
  echo "|---|---|"
  for f in "$root"/dist/*; do
  [ -f "$f" ] || continue  # the policy/ templates are no program
    printf '| %s | %d bytes |\n' "$(basename "$f")" "$(stat -c %s "$f")"
  done
  if [ -f "$root/bench/findings.md" ]; then
    echo
    cat "$root/bench/findings.md"
  fi
} >"$root/bench/report.md"
cat "$root/bench/report.md"
