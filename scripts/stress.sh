#!/usr/bin/env bash
# The stress and fuzz campaign: STOPS operations stopped at random moments on the realistic wire,
# then STEPS random inputs, drawn from SEED (default 1). Builds what it needs and runs under Wine,
# on the 32-bit (i686) build, the product, by default, or with --x64 on the x86_64 build; the last
# line gives the counts, and a failure prints the seed and the steps that reproduce it.
#   scripts/stress.sh [--x64] [STOPS] [STEPS] [SEED] [plain]
# "plain": the host's CleanThread only waits on a worker and terminates it after its limit.
# With --link serial|hart-ip|hart-ip-udp the campaign runs over that real link against
# kestrum-xmtrd instead, with line faults drawn at random (tests/link/link_stress.py); its line adds
# misfiled answers, sessions left open, writes carried out twice and lock-outs after a stop.
#   scripts/stress.sh [--x64] [--link serial|hart-ip|hart-ip-udp] [STOPS] [STEPS] [SEED]
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
preset=x86
if [ "${1:-}" = --x64 ]; then
    preset=x64
    shift
fi
link=
if [ "${1:-}" = --link ]; then
    link=$2
    shift 2
fi
stops=${1:-60}
steps=${2:-300}
seed=${3:-1}
host=${4:-}
scripts/setup.sh
cmake --preset $preset >/dev/null
if [ -n "$link" ]; then
    cmake --build --preset $preset --target kestrum-host Kestrum kestrum-xmtrd >/dev/null
    exec python3 tests/link/link_stress.py "scripts/wine-run.sh;build/$preset/bin/kestrum-host.exe" \
        build/native-xmtrd/kestrum-xmtrd "$link" "$stops" "$steps" "$seed"
fi
cmake --build --preset $preset --target kestrum-stress >/dev/null
cd build/$preset/bin
# A crash's backtrace (winedbg's, on standard error) with the functions of our modules named.
errors=$(mktemp)
trap 'rm -f "$errors"' EXIT
status=0
../../../scripts/wine-run.sh ./kestrum-stress.exe "$stops" "$steps" "$seed" $host 2>"$errors" || status=$?
python3 ../../../tests/hostrun.py . <"$errors" >&2
exit $status
