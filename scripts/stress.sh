#!/usr/bin/env bash
# The stress and fuzz campaign: STOPS operations stopped at random moments on the realistic wire,
# then STEPS random inputs, drawn from SEED (default 1). Builds what it needs, runs under Wine; the
# last line gives the counts, and a failure prints the seed and the steps that reproduce it.
#   scripts/stress.sh [STOPS] [STEPS] [SEED]
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
stops=${1:-60}
steps=${2:-300}
seed=${3:-1}
scripts/setup.sh
cmake --preset x64 >/dev/null
cmake --build --preset x64 --target kestrum-stress >/dev/null
cd build/x64/bin
../../../scripts/wine-run.sh ./kestrum-stress.exe "$stops" "$steps" "$seed"
