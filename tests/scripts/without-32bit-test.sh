#!/usr/bin/env bash
# The test command's run on a machine that cannot run 32-bit programs, forced with
# LUMORA_NO_32BIT=1 against the builds already made (nothing is rebuilt): every i686 test
# run through Wine is reported skipped by CTest without its program starting, the installer
# test ends with the skip code before building anything, one line says what was skipped and
# why, and the run passes.   without-32bit-test.sh X64_BIN I686_BUILD WORK_DIR
set -uo pipefail
x64_bin=$1 i686_build=$2 work=$3
root=$(cd "$(dirname "$0")/../.." && pwd)
export LUMORA_NO_32BIT=1
unset LUMORA_32BIT  # the answer the outer run was given
rm -rf "$work" && mkdir -p "$work"
failures=0
check() {
  local what=$1
  shift
  if "$@"; then echo "ok   $what"; else echo "FAIL $what"; failures=$((failures + 1)); fi
}
skip_line='^skipped: this machine cannot run 32-bit programs'

code=0
"$root/scripts/run-tests.sh" i686 >"$work/run.out" 2>&1 || code=$?
log=$work/LastTest.log  # the run's log, before another ctest writes it
cp "$i686_build/Testing/Temporary/LastTest.log" "$log"
check "the run passes" [ "$code" = 0 ]
check "one line says what was skipped and why" \
  grep -qx 'this machine cannot run 32-bit programs: the i686 tests were skipped' "$work/run.out"
names=$(ctest --test-dir "$i686_build" --show-only=json-v1 | python3 -c 'import json, sys
for t in json.load(sys.stdin)["tests"]:
    if any(p.endswith("/wine-run.sh") for p in t.get("command", [])): print(t["name"])')
check "the i686 build has tests run through Wine" [ -n "$names" ]
for name in $names; do
  check "$name: reported as skipped" grep -Eq "^[[:space:]]*[0-9]+ - $name \(Skipped\)$" "$work/run.out"
done
check "each of them said why" [ "$(grep -c "$skip_line" "$log")" = "$(wc -w <<<"$names")" ]
check "no program started" [ "$(grep -c '^\[==========\]' "$log")" = 0 ]

code=0
"$root/tests/installer/installer-test.sh" "$x64_bin" "$i686_build/bin" "$work/installer" >"$work/installer.out" 2>&1 || code=$?
check "installer test: the skip code" [ "$code" = 77 ]
check "installer test: says why" grep -q "$skip_line" "$work/installer.out"
check "installer test: nothing built or installed" [ ! -e "$work/installer" ]

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed; the run's output:"; cat "$work/run.out"; exit 1; }
