#!/usr/bin/env bash
# The installer end to end, in a fresh 64-bit Wine prefix of its own (so both registry views
# are real): builds Lumora-Setup, then in rounds installs it silently, checks the files, both
# registry views and what the shell lists in both bitnesses, uninstalls it silently and checks
# what is left.   installer-test.sh X64_BIN I686_BIN WORK_DIR
# Setup is a 32-bit program: where this machine cannot run one, nothing is built or started
# and the test ends with the skip code.
set -euo pipefail
x64_bin=$1 i686_bin=$2 work=$3
scripts=$(cd "$(dirname "$0")/../../scripts" && pwd)
source "$scripts/wine-env.sh"
skip_without_32bit "the setup program"

rm -rf "$work"
mkdir -p "$work/bin32" "$work/bin64"
setup=$("$scripts/build-installer.sh" "$x64_bin" "$i686_bin" "$work")
version=$(basename "$setup" .exe)
version=${version#Lumora-Setup-}
# The listing programs run away from any pelcore.dll of the build folders.
cp "$i686_bin/shell_listing.exe" "$work/bin32/"
cp "$x64_bin/shell_listing.exe" "$work/bin64/"

prefix=$work/prefix
"$scripts/wine-prefix.sh" "$prefix"
wine_env "$prefix"
wine32=$(wine_loader 32)
wine64=$(wine_loader 64)
server=$(wine_server)
drive_c=$prefix/drive_c
pf64="$drive_c/Program Files/Lumora"
pf32="$drive_c/Program Files (x86)/Lumora"
clsid='{6A1F3C52-8B4E-4D7A-9C21-5E0B7D3A4F18}'
namespace="HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MyComputer\\NameSpace\\$clsid"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Lumora'
demo_key='HKCU\Software\Lumora Camera Simulator'
settings_key='HKCU\Software\Lumora'

failures=0
check() {
  local what=$1
  shift
  if "$@"; then echo "ok   $what"; else echo "FAIL $what"; failures=$((failures + 1)); fi
}

# Runs a Windows program to its end (and every process it started); prints its exit code.
run() {
  local code=0
  "$@" >"$work/last.out" 2>&1 || code=$?
  "$server" -w
  echo "$code"
}

# reg_value VIEW KEY [VALUE]: the data of a value (the default one without VALUE); fails when absent.
reg_value() {
  local view=$1 key=$2 args=(/ve)
  [ $# -ge 3 ] && args=(/v "$3")
  "$wine64" reg query "$key" "${args[@]}" "/reg:$view" 2>/dev/null | tr -d '\r' |
    sed -n 's/^ \{4\}.* \{4\}REG_[A-Z_]* \{4\}\(.*\)$/\1/p' | grep .
}
# reg_is VIEW KEY [VALUE] EXPECTED
reg_is() { [ "$(reg_value "${@:1:$#-1}")" = "${!#}" ]; }
key_exists() { "$wine64" reg query "$2" "/reg:$1" >/dev/null 2>&1; }
key_gone() { ! key_exists "$@"; }

# listing BITS: what the listing program of that bitness prints, then "exit N".
listing() {
  local loader=$wine64 code=0
  [ "$1" = 32 ] && loader=$wine32
  "$loader" "$work/bin$1/shell_listing.exe" 2>/dev/null | tr -d '\r' || code=$?
  echo "exit $code"
  "$server" -w
}

# same_files DIR FILE...: each FILE of the build is in DIR, byte for byte.
same_files() {
  local dir=$1 file
  shift
  for file in "$@"; do cmp -s "$file" "$dir/$(basename "$file")" || return 1; done
}
no_pending_restart() { ! reg_value 64 'HKLM\System\CurrentControlSet\Control\Session Manager' PendingFileRenameOperations >/dev/null; }
none_exist() { local path; for path in "$@"; do [ ! -e "$path" ] || return 1; done; }

# The demo folder: two camera files and one whose name is too long for the camera.
demo=$drive_c/LumoraDemo
mkdir -p "$demo"
printf 'camera picture' >"$demo/DSC00001.JPG"
printf 'a note' >"$demo/NOTES.TXT"
printf 'not listed' >"$demo/Holiday plans.txt"
expected_files=$'file DSC00001.JPG\nfile NOTES.TXT'

# Installed (with the simulated camera, or without it and without the maker's library):
# files, both views, the entry, what the shell lists.
installed_checks() {
  local simulator=$1 bits value expected out
  if [ "$simulator" = yes ]; then
    check "x86_64 build and simulated camera in Program Files" same_files "$pf64" "$x64_bin/tolvane.dll" "$x64_bin/pelcore.dll"
    check "i686 build and simulated camera in Program Files (x86)" same_files "$pf32" "$i686_bin/tolvane.dll" "$i686_bin/pelcore.dll"
  else
    check "x86_64 build alone in Program Files" same_files "$pf64" "$x64_bin/tolvane.dll"
    check "i686 build alone in Program Files (x86)" same_files "$pf32" "$i686_bin/tolvane.dll"
    check "no simulated camera installed" none_exist "$pf64/pelcore.dll" "$pf32/pelcore.dll"
  fi
  check "the uninstaller is in place" [ -f "$pf64/Uninstall.exe" ]
  check "64-bit view: the class is the x86_64 build" reg_is 64 "HKCR\\CLSID\\$clsid\\InprocServer32" 'C:\Program Files\Lumora\tolvane.dll'
  check "32-bit view: the class is the i686 build" reg_is 32 "HKCR\\CLSID\\$clsid\\InprocServer32" 'C:\Program Files (x86)\Lumora\tolvane.dll'
  check "64-bit view: My Computer entry" key_exists 64 "$namespace"
  check "32-bit view: My Computer entry" key_exists 32 "$namespace"
  while IFS='|' read -r value expected; do
    check "Add or Remove Programs: $value" reg_is 64 "$uninstall_key" "$value" "$expected"
  done <<EOF
DisplayName|Lumora
DisplayVersion|$version
Publisher|The Lumora team
InstallLocation|C:\\Program Files\\Lumora
UninstallString|"C:\\Program Files\\Lumora\\Uninstall.exe"
QuietUninstallString|"C:\\Program Files\\Lumora\\Uninstall.exe" /S
EOF
  check "Add or Remove Programs: EstimatedSize" [ "$(reg_value 64 "$uninstall_key" EstimatedSize)" != 0x0 ]
  if [ "$simulator" = yes ]; then
    check "the simulated camera serves the demo folder" reg_is 64 "$demo_key" StorageFolder 'C:\LumoraDemo'
  fi
  for bits in 64 32; do
    out=$(listing $bits)
    check "$bits-bit shell: My Computer lists Lumora" grep -qx 'mycomputer Lumora' <<<"$out"
    if [ "$simulator" = yes ]; then
      check "$bits-bit shell: the folder lists the demo camera's files, no box" \
        [ "$(grep -E '^(file|box|exit) ' <<<"$out")" = "$expected_files"$'\nexit 0' ]
    else
      check "$bits-bit shell: without the camera's library the folder is empty and says no camera was located" \
        [ "$(grep -E '^(file|box The Camera|exit) ' <<<"$out")" = "box $not_located"$'\nexit 0' ]
    fi
  done
}

# Uninstalled: nothing of it is left; the user's settings only when kept.
removed_checks() {
  local keep=$1 bits
  check "no files or folders left" none_exist "$pf64" "$pf32"
  check "nothing waits for a restart" no_pending_restart
  for bits in 64 32; do
    check "$bits-bit view: no class key" key_gone $bits "HKCR\\CLSID\\$clsid"
    check "$bits-bit view: no My Computer entry" key_gone $bits "$namespace"
    check "$bits-bit shell: My Computer has no Lumora" [ "$(listing $bits | tail -1)" = "exit 1" ]
  done
  check "no Add or Remove Programs entry" key_gone 64 "$uninstall_key"
  check "no setup key" key_gone 64 'HKLM\Software\Lumora'
  check "no simulated camera settings" key_gone 64 "$demo_key"
  if [ "$keep" = keep ]; then
    check "the user's settings are kept" key_exists 64 "$settings_key"
  else
    check "the user's settings are removed" key_gone 64 "$settings_key"
  fi
  check "the demo folder and its files stay" [ -f "$demo/DSC00001.JPG" ]
}

not_located="The Camera was not located on the computer. Please check the connections and make sure the camera's power is on. If the window is open, click Refresh from its View menu."

# One round: install options | its exit code | uninstall options | the user's settings after
# it | with the simulated camera. Without it and without the maker's pelcore.dll, tolvane.dll
# still registers (it loads the library on first use) and the folder says no camera is there.
while IFS='|' read -r install_options install_code uninstall_options settings simulator; do
  echo "--- install $install_options, uninstall $uninstall_options"
  read -ra install_args <<<"$install_options"
  read -ra uninstall_args <<<"$uninstall_options"
  "$wine64" reg add "$settings_key\\Display Settings" /v Columns /t REG_SZ /d "120 80 100" /f >/dev/null 2>&1
  check "silent install ends with $install_code" [ "$(run "$wine32" "$setup" "${install_args[@]}")" = "$install_code" ]
  if [ "$install_code" = 0 ]; then
    installed_checks "$simulator"
    check "silent uninstall finishes" [ "$(run "$wine32" "$pf64/Uninstall.exe" "${uninstall_args[@]}")" = 0 ]
  fi
  removed_checks "$settings"
  "$wine64" reg delete "$settings_key" /f >/dev/null 2>&1 || true
done <<'EOF'
/S /SIMULATOR=C:\LumoraDemo|0|/S|removed|yes
/S /SIMULATOR=C:\LumoraDemo|0|/S /KEEPSETTINGS|keep|yes
/S|0|/S|removed|no
EOF

echo "$failures failed"
[ "$failures" -eq 0 ]
