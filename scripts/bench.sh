#!/usr/bin/env bash
# The benchmarks: builds the x86_64 benchmark programs and runs each under Wine (inside
# Xvfb when there is no display); every figure is printed beside its reference from the
# same run. Timings vary with the machine's load: run it on a quiet machine.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset x64 >/dev/null
cmake --build --preset x64 -j 2 --target bench

root=$PWD
cd build/x64/bin
for program in *bench.exe; do
  echo "== ${program%.exe}"
  "$root/scripts/wine-run.sh" 64 "$root/build/x64/wineprefix" "./$program"
done
