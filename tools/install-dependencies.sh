#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Tessaro need.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
mapfile -t packages < <(grep -vE '^\s*(#|$)' "$here/debian-packages")
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ "${#missing[@]}" -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    "${as_root[@]}" apt-get update
    DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi
