#!/usr/bin/env bash
# The main job: installs what is missing, builds for x86_64, registers tolvane.dll in the
# project's Wine prefix, fills a demo folder with the sample camera files of samples/,
# points the simulated camera at it, and opens the camera folder under My Computer in
# LumoraHost.exe: on the user's display when $DISPLAY is set (until the window is closed),
# otherwise under Xvfb for a few seconds. Either way a screenshot of the window is saved
# under build/demo/ and its path printed.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

scripts/install-deps.sh
cmake --preset x64 >/dev/null
cmake --build --preset x64 -j 2 --target tolvane pelcore LumoraHost

prefix=$root/build/x64/wineprefix
bin=$root/build/x64/bin
demo=$root/build/demo/camera
shot=$root/build/demo/lumora-host.png
rm -rf "$demo" "$shot"
mkdir -p "$demo"
cp samples/* "$demo/"

# Wine sees the Unix root as drive Z:.
winpath() { printf 'Z:%s' "${1//\//\\}"; }
run() { scripts/wine-run.sh "$prefix" "$@"; }

scripts/wine-prefix.sh "$prefix"
run regsvr32 /s "$(winpath "$bin/tolvane.dll")" || { echo "demo: registering tolvane.dll failed" >&2; exit 1; }
run reg add 'HKCU\Software\Lumora Camera Simulator' /v StorageFolder /t REG_SZ /d "$(winpath "$demo")" /f >/dev/null

host_args=(--screenshot "$(winpath "$shot")")
if [ -z "${DISPLAY:-}" ]; then
  host_args+=(--close-after 4)
  echo "demo: no display, the camera folder opens under Xvfb for a few seconds"
else
  echo "demo: the camera folder opens on $DISPLAY; close the window to end"
fi
status=0
run "$bin/LumoraHost.exe" "${host_args[@]}" || status=$?
if [ "$status" -eq 2 ]; then
  echo "demo: the camera folder could not be opened (is tolvane.dll registered?)" >&2
  exit 1
fi
[ -f "$shot" ] || { echo "demo: no screenshot was saved" >&2; exit 1; }
echo "demo: screenshot $shot"
exit "$status"
