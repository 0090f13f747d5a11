#!/usr/bin/env bash
# Checks the built DLLs: they import only Windows' own DLLs, tolvane.dll loads pelcore.dll's
# 17 ZQ_* functions on first use (delay-load), tolvane.dll exports only the four COM server
# functions, pelcore.dll the 17 ZQ_* undecorated.
# Usage: check-dlls.sh OBJDUMP TOLVANE_DLL PELCORE_DLL
set -eu
objdump=$1 tolvane=$2 pelcore=$3
system_dlls='^(kernel32|user32|gdi32|advapi32|shell32|shlwapi|ole32|oleaut32|comctl32|comdlg32|version|msvcrt|api-ms-win-crt-[a-z0-9-]+)\.dll$'
fail=0

imports() { "$objdump" -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z'; }
exports() { "$objdump" -p "$1" | awk '/\[Ordinal\/Name Pointer\] Table/ {on=1; next} on && NF==0 {on=0} on {print $NF}'; }

check_imports() {
  local dll=$1 extra=$2
  for name in $(imports "$dll"); do
    if ! [[ $name =~ $system_dlls ]] && [ "$name" != "$extra" ]; then
      echo "FAIL: $(basename "$dll") imports $name"; fail=1
    fi
  done
}

check_imports "$tolvane" none
check_imports "$pelcore" none

allowed_tolvane='^(DllGetClassObject|DllCanUnloadNow|DllRegisterServer|DllUnregisterServer)$'
for name in $(exports "$tolvane"); do
  [[ $name =~ $allowed_tolvane ]] || { echo "FAIL: tolvane.dll exports $name"; fail=1; }
done

zq="ZQ_OpenComm ZQ_CloseComm ZQ_SetStatusAbortProc ZQ_SetAcquisitionMode ZQ_StopAcquisition
ZQ_GetNumFiles ZQ_GetFiles ZQ_GetFileSize ZQ_ReceiveFile ZQ_GetSegmentedFile ZQ_GetSegment
ZQ_PutFile ZQ_PutSegmentedFile ZQ_PutSegment ZQ_DeleteFile ZQ_GetFirmwareVersion ZQ_GetMediaFree"
pel_exports=$(exports "$pelcore")
for name in $zq; do
  grep -qx "$name" <<<"$pel_exports" || { echo "FAIL: pelcore.dll does not export $name"; fail=1; }
done
[ "$(grep -c '^ZQ_' <<<"$pel_exports")" -eq 17 ] || { echo "FAIL: pelcore.dll exports other ZQ_ names"; fail=1; }
# The delay-load names: the library and each function, as plain strings of tolvane.dll.
delay_names=$(strings -a "$tolvane")
for name in pelcore.dll $zq; do
  grep -qx "$name" <<<"$delay_names" || { echo "FAIL: tolvane.dll does not load $name on demand"; fail=1; }
done
grep -q '^PelSim_' <<<"$delay_names" && { echo "FAIL: tolvane.dll reaches the simulator's own calls"; fail=1; }
for name in $pel_exports; do
  [[ $name =~ ^(ZQ_|PelSim_)[A-Za-z]+$ ]] || { echo "FAIL: pelcore.dll exports $name"; fail=1; }
done

[ $fail -eq 0 ] && echo "DLL imports and exports are as expected: $(basename "$tolvane"), $(basename "$pelcore")"
exit $fail
