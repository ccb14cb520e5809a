#!/usr/bin/env bash
# Runs the libFuzzer target (frame decoder, transmitter request handling, record filling, line
# faults) for SECONDS (default 600), keeping its corpus in build/fuzz/corpus. A finding leaves a
# crash-* file in build/fuzz and ends with a non-zero status.
#   scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
seconds=${1:-600}
scripts/setup.sh clang-14 libclang-rt-14-dev
cmake -S native -B build/fuzz -DCMAKE_CXX_COMPILER=clang++-14 -DKESTRUM_FUZZ=ON >/dev/null
cmake --build build/fuzz >/dev/null
mkdir -p build/fuzz/corpus
cd build/fuzz
./hart_fuzz corpus -max_total_time="$seconds" -print_final_stats=1 2>&1 | tail -n 12
