#!/usr/bin/env bash
# Measures the installer package in a running Wine prefix (wine-prefix.sh
# start): its size, and the wall time of a silent install and of a silent
# removal, median of five of each. Prints markdown table rows.
#   package_bench.sh PREFIX PACKAGE.msi
set -euo pipefail
prefix=$(realpath -m "${1:?prefix folder}")
package=$(realpath "${2:?package}")
runs=5
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
[ -f "$prefix.state/display" ] && export DISPLAY=$(cat "$prefix.state/display")
loader=wine
if [ -d "$prefix/drive_c/windows/syswow64" ]; then
  loader=/usr/lib/wine/wine64
  export WINELOADER=$loader
fi
windows_path="Z:${package//\//\\}"

# Milliseconds one msiexec run takes; fails when msiexec does.
timed_msiexec() {
  local start end
  start=$(date +%s%N)
  "$loader" msiexec "$@" </dev/null >/dev/null 2>&1
  end=$(date +%s%N)
  echo $(((end - start) / 1000000))
}
median() { printf '%s\n' "$@" | sort -n | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }

installs=() removals=()
for _ in $(seq "$runs"); do
  installs+=("$(timed_msiexec /i "$windows_path" /qn)")
  removals+=("$(timed_msiexec /x "$windows_path" /qn)")
done
echo "| package $(basename "$package") | $(stat -c %s "$package") bytes | programs and library compressed in one cabinet |"
echo "| \`msiexec /i /qn\` (files, settings key, service installed and started) | median $(median "${installs[@]}") ms | $runs runs: ${installs[*]} ms |"
echo "| \`msiexec /x /qn\` (service stopped and removed, files, key) | median $(median "${removals[@]}") ms | $runs runs: ${removals[*]} ms |"
