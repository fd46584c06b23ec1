#!/usr/bin/env bash
# The suite's main job on this machine: build every program into dist/ and
# show what was built (PE32 images, statically linked).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/build.sh"
echo
echo "Built into $root/dist:"
if compgen -G "$root/dist/*" >/dev/null; then
  for f in "$root"/dist/*; do
    printf '  %-22s %8d bytes  %s\n' "$(basename "$f")" "$(stat -c %s "$f")" \
      "$(file -b "$f" | cut -d, -f1-2)"
  done
else
  echo "  (no programs yet: the service core and its tests are built in build/)"
fi
