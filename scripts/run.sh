#!/usr/bin/env bash
# The main job: builds the module and the stand-in host, then tours the page's operations against
# the simulated transmitter and prints what the page showed. By default the 32-bit (i686) build
# runs, the product as users get it, under the 32-bit Wine; --x64 runs the x86_64 build instead.
# --json prints the raw events.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
preset=x86
json=no
for arg in "$@"; do
    case $arg in
    --x64) preset=x64 ;;
    --json) json=yes ;;
    *)
        echo "usage: scripts/run.sh [--x64] [--json]" >&2
        exit 2
        ;;
    esac
done
scripts/setup.sh
cmake --preset $preset >/dev/null
cmake --build --preset $preset --target kestrum-host >/dev/null
cd build/$preset/bin
if [ $json = yes ]; then
    ../../../scripts/wine-run.sh kestrum-host.exe --script - <../../../demo/tour.ksc
else
    ../../../scripts/wine-run.sh kestrum-host.exe --script - <../../../demo/tour.ksc |
        python3 ../../../scripts/transcript.py ../../../demo/tour.ksc
fi
