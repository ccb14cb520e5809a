#!/usr/bin/env bash
# Builds everything and runs every test twice: the 32-bit (i686) build, the product, under the
# 32-bit Wine, and the x86_64 build under the system's Wine. The i686 DLL is then inspected.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
scripts/setup.sh
for preset in x86 x64; do
    echo "== $preset"
    cmake --preset $preset >/dev/null
    cmake --build --preset $preset
    ctest --preset $preset
done
scripts/check-dll32.sh build/x86/bin/Kestrum.dll
