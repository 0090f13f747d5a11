#!/usr/bin/env bash
# Makes the demo camera's photos in samples/ (scripts/make-samples.py), installing Python 3's
# imaging library (Debian's python3-pil) first when it is missing; safe to run again.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(python3 python3-pil)

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

missing=()
for p in "${packages[@]}"; do
  installed "$p" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq || true
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Debian's own interpreter: the one python3-pil serves, whatever else is first on the PATH.
exec /usr/bin/python3 scripts/make-samples.py "$@"
