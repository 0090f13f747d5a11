#!/usr/bin/env bash
# The test command: installs what is missing, builds x86_64 and i686 with their test
# programs, and runs every test of both (scripts/run-tests.sh): the 64-bit programs
# through wine64 in build/x64/wineprefix, the 32-bit ones through Wine's 32-bit loader in
# build/i686/wineprefix. On a machine that cannot run 32-bit programs the i686 tests and
# the installer test are skipped, and the command says so. Both summaries are printed; a
# failure in either fails the command.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
presets=(x64 i686)

scripts/install-deps.sh

for preset in "${presets[@]}"; do
  cmake --preset "$preset"
  cmake --build --preset "$preset" -j "$jobs"
done

exec scripts/run-tests.sh "${presets[@]}"
