#!/usr/bin/env bash
# Runs the tests of builds already made (scripts/test.sh builds them first):
#   run-tests.sh [PRESET...]        x64 and i686 unless told
# Every test of each build runs under Wine inside Xvfb, in a private prefix of the build's
# own (build/PRESET/wineprefix): the 64-bit programs through wine64, the 32-bit ones
# through Wine's 32-bit loader, one program at a time (they share their prefix's registry).
# Whether this machine runs 32-bit programs is asked once (scripts/wine-env.sh;
# LUMORA_NO_32BIT=1 makes the answer no). Where it does not, the i686 test programs and
# the installer test are not started, CTest reports them as skipped, and one line says so.
# Each build's summary is printed; a failure in any fails the command.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/wine-env.sh
presets=("$@")
[ ${#presets[@]} -gt 0 ] || presets=(x64 i686)

# What goes unrun without 32-bit programs: the i686 build's programs, the x64 build's installer test.
skipped=()
if ! wine32_runs; then
  case " ${presets[*]} " in *" i686 "*) skipped+=("the i686 tests") ;; esac
  case " ${presets[*]} " in *" x64 "*) skipped+=("the installer test") ;; esac
fi

failed=()
for preset in "${presets[@]}"; do
  if [ "$preset" != i686 ] || wine32_runs; then scripts/wine-prefix.sh "$PWD/build/$preset/wineprefix"; fi
  echo "=== Tests of the $preset build ==="
  xvfb-run -a -s "-screen 0 1024x768x24" ctest --preset "$preset" || failed+=("$preset")
done

if [ ${#skipped[@]} -gt 0 ]; then
  list=${skipped[0]}
  [ ${#skipped[@]} -eq 1 ] || list="${skipped[*]:0:${#skipped[@]}-1} and ${skipped[-1]}"
  verb=were
  [ "$list" != "the installer test" ] || verb=was
  echo "this machine cannot run 32-bit programs: $list $verb skipped"
fi
[ ${#failed[@]} -eq 0 ] || { echo "FAILED: the tests of the ${failed[*]} build" >&2; exit 1; }
