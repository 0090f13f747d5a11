#!/usr/bin/env bash
# Creates the Wine prefix PREFIX once (never the user's own ~/.wine): wine-prefix.sh PREFIX
# The prefix is 64-bit, so it runs 64-bit programs through wine64 and 32-bit programs
# through the 32-bit loader with both registry views, as 64-bit Windows does.
# Windows are unmanaged: without a window manager under Xvfb, Wine would otherwise
# wait on every dialog it shows. With LUMORA_SCREEN_DPI set when the prefix is made, its
# screen has that DPI (LogPixels, which Wine reads as each program starts; 96 otherwise).
set -euo pipefail
prefix=$1
ready=$prefix/.lumora-ready
[ -f "$ready" ] && exit 0
source "$(dirname "$0")/wine-env.sh"
mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9
[ -f "$ready" ] && exit 0
wine_env "$prefix"
export WINEARCH=win64
wine=$(wine_loader 64)
"$wine" wineboot -i >/dev/null 2>&1 || true
"$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
if [ -n "${LUMORA_SCREEN_DPI:-}" ]; then
  "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$LUMORA_SCREEN_DPI" /f >/dev/null 2>&1
fi
"$(wine_server)" -w || true
[ -f "$prefix/system.reg" ] || { echo "wine-prefix: could not create $prefix" >&2; exit 1; }
touch "$ready"
