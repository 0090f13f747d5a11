#!/usr/bin/env bash
# Runs a Windows program under Wine in a private prefix: wine-run.sh BITS PREFIX PROGRAM [ARGS...]
# BITS (32 or 64) is the program's bitness, which picks Wine's loader; the build passes
# its toolchain's. Without a display it starts its own Xvfb.
# A 32-bit program on a machine that cannot run one is not started: the run ends with
# the skip code (scripts/wine-env.sh), which CTest reports as skipped.
set -euo pipefail
bits=$1 prefix=$2
shift 2
source "$(dirname "$0")/wine-env.sh"
[ "$bits" != 32 ] || skip_without_32bit "$(basename "$1")"
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$bits" "$prefix" "$@"
fi
wine=$(wine_loader "$bits")
"$(dirname "$0")/wine-prefix.sh" "$prefix"
wine_env "$prefix"
exec "$wine" "$@"
