#!/usr/bin/env bash
# Installs what the build, the tests and the installer need and is missing; safe to run again.
# 32-bit Windows programs run through Debian's wine32 (i386), so that architecture is added
# and wine32:i386 installed where it can be; where it cannot (or where this machine cannot
# run 32-bit programs at all) the script says so and goes on: the tests then skip the
# 32-bit programs (scripts/run-tests.sh).
set -euo pipefail

packages=(
  cmake make python3 binutils
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
  wine64 xvfb xauth
  googletest nsis
  locales  # the Japanese locale the code-page-932 test makes for itself
)
wine32=wine32:i386

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

added_arch=0
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  echo "Adding the i386 architecture"
  $sudo dpkg --add-architecture i386 && added_arch=1 || echo "install-deps: cannot add the i386 architecture" >&2
fi

missing=()
for p in "${packages[@]}"; do
  installed "$p" || missing+=("$p")
done
need_wine32=0
installed "$wine32" || need_wine32=1
[ ${#missing[@]} -eq 0 ] && [ $need_wine32 -eq 0 ] && [ $added_arch -eq 0 ] && exit 0

export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq || [ ${#missing[@]} -eq 0 ]
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
if [ $need_wine32 -eq 1 ]; then
  echo "Installing: $wine32"
  $sudo apt-get install -y -qq --no-install-recommends "$wine32" ||
    echo "install-deps: $wine32 cannot be installed here; 32-bit programs will not run and their tests are skipped" >&2
fi
