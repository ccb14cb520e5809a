#!/usr/bin/env bash
# Installs what the build needs on a Debian machine, plus any packages named as arguments, then
# makes the 32-bit Wine (scripts/setup-wine32.sh); packages already present are left alone.
set -euo pipefail
packages=(cmake make g++ g++-mingw-w64-x86-64 g++-mingw-w64-i686 binutils-mingw-w64-x86-64
          binutils-mingw-w64-i686 googletest wine wine64 python3 python3-jsonschema fonts-dejavu-core
          "$@")
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    SUDO=""
    [ "$(id -u)" -eq 0 ] || SUDO=sudo
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
fi
# The 32-bit Wine for the i686 build, unpacked into build/wine32.
"$(dirname "${BASH_SOURCE[0]}")/setup-wine32.sh"
