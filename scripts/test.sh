#!/usr/bin/env bash
# Builds everything and runs every test: the x86_64 build under Wine with a bounded stress
# campaign, the window-free parts natively under sanitizers with a bounded fuzzer run, then the
# 32-bit product DLL built and inspected.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
scripts/setup.sh
cmake --preset x64 >/dev/null
cmake --build --preset x64
ctest --preset x64
scripts/stress.sh 60 300
scripts/native.sh
cmake --preset x86 >/dev/null
cmake --build --preset x86
scripts/check-dll32.sh build/x86/bin/Kestrum.dll
