#!/usr/bin/env bash
# Builds the parts that need no window with this machine's g++ under AddressSanitizer and
# UndefinedBehaviorSanitizer and runs their tests, then runs the fuzzer for a bounded time.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
scripts/setup.sh g++ clang-14 libclang-rt-14-dev
cmake -S native -B build/native -DCMAKE_CXX_COMPILER=g++ >/dev/null
cmake --build build/native
ctest --test-dir build/native --output-on-failure
scripts/fuzz.sh 25
