#!/usr/bin/env bash
# The test command: installs what is missing, builds x86_64 and i686,
# and runs every test under Wine inside Xvfb (one program at a time: they share
# the prefix's registry).
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

scripts/install-deps.sh

cmake --preset x64
cmake --build --preset x64 -j "$jobs"
cmake --preset i686
cmake --build --preset i686 -j "$jobs"
scripts/check-dlls.sh i686-w64-mingw32-objdump build/i686/bin/tolvane.dll build/i686/bin/pelcore.dll

scripts/wine-prefix.sh "$PWD/build/x64/wineprefix"
xvfb-run -a -s "-screen 0 1024x768x24" ctest --preset x64
