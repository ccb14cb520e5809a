#!/usr/bin/env bash
# Builds everything and runs every test: the whole suite twice, on the 32-bit (i686) build, the
# product, under the 32-bit Wine, and on the x86_64 build under the system's Wine; then a bounded
# stress campaign on the 32-bit build and over each real link, the window-free parts natively under
# sanitizers with a bounded fuzzer run, and an inspection of the i686 DLL.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
scripts/setup.sh
# The x86_64 build runs the suite without the code-page-936 repeats, which the 32-bit build runs.
for preset in x86 x64; do
    echo "== $preset"
    cmake --preset $preset >/dev/null
    cmake --build --preset $preset
    if [ $preset = x86 ]; then
        ctest --preset $preset
    else
        ctest --preset $preset -E '_cp936$'
    fi
done
scripts/stress.sh 60 300
scripts/stress.sh --link serial 5 10
scripts/stress.sh --link hart-ip 5 10
scripts/stress.sh --link hart-ip-udp 5 10
scripts/native.sh
scripts/check-dll32.sh build/x86/bin/Kestrum.dll
