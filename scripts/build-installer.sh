#!/usr/bin/env bash
# Builds Lumora-Setup-<version>.exe with makensis from the x86_64 and i686 builds:
#   build-installer.sh [X64_BIN I686_BIN OUTPUT_DIR]   (default: build/x64/bin build/i686/bin build)
# The version is the ProductVersion of resources/tolvane.rc ("1, 2, 0, 31" gives 1.2.0.31);
# makensis checks that both DLLs carry it. Prints the setup program's path.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
x64_bin=$(realpath "${1:-$root/build/x64/bin}")
i686_bin=$(realpath "${2:-$root/build/i686/bin}")
out_dir=$(realpath "${3:-$root/build}")

version=$(sed -n 's/^[[:space:]]*VALUE "ProductVersion", "\([0-9, ]*\)".*/\1/p' "$root/resources/tolvane.rc" | tr -d ' ' | tr , .)
[[ $version =~ ^[0-9]+\.[0-9]+\.[0-9]+\.[0-9]+$ ]] || { echo "build-installer: no ProductVersion in resources/tolvane.rc" >&2; exit 1; }
for file in "$x64_bin/tolvane.dll" "$x64_bin/pelcore.dll" "$i686_bin/tolvane.dll" "$i686_bin/pelcore.dll"; do
  [ -f "$file" ] || { echo "build-installer: $file is missing (scripts/build.sh builds it)" >&2; exit 1; }
done

setup=$out_dir/Lumora-Setup-$version.exe
mkdir -p "$out_dir"
makensis -V2 -DVERSION="$version" -DX64_DIR="$x64_bin" -DI686_DIR="$i686_bin" -DOUTFILE="$setup" \
  "$root/installer/Lumora.nsi" >&2
echo "$setup"
