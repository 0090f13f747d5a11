#!/usr/bin/env bash
# The test command: installs what is missing, builds x86_64 and i686 with their test
# programs, and runs every test of both under Wine inside Xvfb: the 64-bit programs
# through wine64 in build/x64/wineprefix, the 32-bit ones through Wine's 32-bit loader in
# build/i686/wineprefix (one program at a time: they share their prefix's registry).
# Both summaries are printed; a failure in either fails the command.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
presets=(x64 i686)

scripts/install-deps.sh

for preset in "${presets[@]}"; do
  cmake --preset "$preset"
  cmake --build --preset "$preset" -j "$jobs"
done

failed=()
for preset in "${presets[@]}"; do
  scripts/wine-prefix.sh "$PWD/build/$preset/wineprefix"
  echo "=== Tests of the $preset build ==="
  xvfb-run -a -s "-screen 0 1024x768x24" ctest --preset "$preset" || failed+=("$preset")
done

[ ${#failed[@]} -eq 0 ] || { echo "FAILED: the tests of the ${failed[*]} build" >&2; exit 1; }
