#!/usr/bin/env bash
# The main job: installs what is missing and builds tolvane.dll and pelcore.dll
# for x86_64 (build/x64/bin) and i686 (build/i686/bin).
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
scripts/install-deps.sh
for preset in x64 i686; do
  cmake --preset "$preset"
  cmake --build --preset "$preset" -j "$jobs" --target tolvane pelcore
done
ls -l build/x64/bin/tolvane.dll build/x64/bin/pelcore.dll build/i686/bin/tolvane.dll build/i686/bin/pelcore.dll
