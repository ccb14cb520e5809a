#!/usr/bin/env bash
# Runs the libFuzzer targets for SECONDS (default 600) together, each half of it: hart_fuzz
# (frame decoder, transmitter request handling, record filling, line faults; corpus in
# build/fuzz/corpus) and link_fuzz (frame scanner in pieces, answer matching, short answers,
# HART-IP messages; corpus in build/fuzz/link-corpus). A finding leaves a crash-* file in
# build/fuzz and ends with a non-zero status.
#   scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
seconds=${1:-600}
scripts/setup.sh clang-14 libclang-rt-14-dev
cmake -S native -B build/fuzz -DCMAKE_CXX_COMPILER=clang++-14 -DKESTRUM_FUZZ=ON >/dev/null
cmake --build build/fuzz >/dev/null
mkdir -p build/fuzz/corpus build/fuzz/link-corpus
cd build/fuzz
# Seeds: requests of commands 0 and 223 (block 2) to the simulated transmitter's address.
printf '\xff\xff\xff\xff\xff\x82\xa0\xb3\x00\x03\x2a\x00\x00\xb8' > corpus/seed-command-0
printf '\xff\xff\xff\xff\xff\x82\xa0\xb3\x00\x03\x2a\xdf\x01\x02\x64' > corpus/seed-command-223
# Seeds for the link: an answer to command 223 in pieces of one byte, and a HART-IP initiate.
printf '\x00\xff\xff\x86\xa0\xb3\x00\x03\x2a\xdf\x02\x00\x00\x61' > link-corpus/seed-answer
printf '\x07\x01\x00\x00\x00\x00\x01\x00\x0d\x01\x00\x00\xea\x60' > link-corpus/seed-initiate
./hart_fuzz corpus -max_total_time="$(((seconds + 1) / 2))" -print_final_stats=1 2>&1 | tail -n 12
./link_fuzz link-corpus -max_total_time="$(((seconds + 1) / 2))" -print_final_stats=1 2>&1 |
    tail -n 12
