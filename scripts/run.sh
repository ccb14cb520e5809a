#!/usr/bin/env bash
# The main job: builds the module and the stand-in host, then tours the page's operations against
# the simulated transmitter and prints what the page showed. Pass --json for the raw events.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
scripts/setup.sh
cmake --preset x64 >/dev/null
cmake --build --preset x64 --target kestrum-host >/dev/null
cd build/x64/bin
if [ "${1:-}" = "--json" ]; then
    ../../../scripts/wine-run.sh kestrum-host.exe --script - <../../../demo/tour.ksc
else
    ../../../scripts/wine-run.sh kestrum-host.exe --script - <../../../demo/tour.ksc |
        python3 ../../../scripts/transcript.py
fi
