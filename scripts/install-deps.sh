#!/usr/bin/env bash
# Installs what the build, the tests and the installer need and is missing; safe to run again.
# 32-bit Windows programs run through Debian's wine32 (i386), so that architecture is added.
set -euo pipefail

packages=(
  cmake make python3 binutils
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
  wine64 wine32:i386 xvfb xauth
  googletest nsis
  locales  # the Japanese locale the code-page-932 test makes for itself
)

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

added_arch=0
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  echo "Adding the i386 architecture"
  $sudo dpkg --add-architecture i386
  added_arch=1
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && [ $added_arch -eq 0 ] && exit 0

export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
