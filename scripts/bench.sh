#!/usr/bin/env bash
# Builds and runs the benchmarks under Wine and prints their figures.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
scripts/setup.sh
cmake --preset x64 >/dev/null
cmake --build --preset x64 --target refresh_bench >/dev/null
cd build/x64/bin
../../../scripts/wine-run.sh refresh_bench.exe
