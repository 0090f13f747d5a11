#!/usr/bin/env bash
# The main job: installs what is missing, builds for x86_64, registers tolvane.dll in the
# project's Wine prefix, fills a demo folder with the sample camera files of samples/,
# points the simulated camera at it, and opens the camera folder under My Computer in
# LumoraHost.exe: on the user's display when $DISPLAY is set (until the window is closed),
# otherwise under Xvfb for a few seconds. Either way a screenshot of the window is saved
# as build/demo/lumora-host.png and its path printed. Then the folder opens once more, in
# the thumbnails view mode (--view thumbnails), for build/demo/lumora-host-thumbnails.png,
# taken 5 seconds after the view has painted so that the pictures made in the background
# are in it; this second window closes by itself, on the display as under Xvfb.
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
thumbnails_shot=$root/build/demo/lumora-host-thumbnails.png
rm -rf "$demo" "$shot" "$thumbnails_shot"
mkdir -p "$demo"
cp samples/* "$demo/"

# Wine sees the Unix root as drive Z:.
winpath() { printf 'Z:%s' "${1//\//\\}"; }
run() { scripts/wine-run.sh 64 "$prefix" "$@"; }

scripts/wine-prefix.sh "$prefix"
run regsvr32 /s "$(winpath "$bin/tolvane.dll")" || { echo "demo: registering tolvane.dll failed" >&2; exit 1; }
run reg add 'HKCU\Software\Lumora Camera Simulator' /v StorageFolder /t REG_SZ /d "$(winpath "$demo")" /f >/dev/null

# open_folder SHOT [HOST OPTIONS...]: the camera folder in LumoraHost.exe, its screenshot
# saved as SHOT; the host's exit code (0 or 1) is kept in status when it is the first failure.
status=0
open_folder() {
  local picture=$1 result=0
  shift
  run "$bin/LumoraHost.exe" --screenshot "$(winpath "$picture")" "$@" || result=$?
  if [ "$result" -eq 2 ]; then
    echo "demo: the camera folder could not be opened (is tolvane.dll registered?)" >&2
    exit 1
  fi
  [ -f "$picture" ] || { echo "demo: no screenshot was saved" >&2; exit 1; }
  echo "demo: screenshot $picture"
  [ "$status" -ne 0 ] || status=$result
}

if [ -z "${DISPLAY:-}" ]; then
  echo "demo: no display, the camera folder opens under Xvfb for a few seconds"
  open_folder "$shot" --close-after 4
else
  echo "demo: the camera folder opens on $DISPLAY; close the window to end"
  open_folder "$shot"
fi
echo "demo: the camera folder opens again in the thumbnails view mode and closes by itself"
open_folder "$thumbnails_shot" --view thumbnails --screenshot-delay 5 --close-after 2
exit "$status"
