#!/usr/bin/env bash
# Builds the benchmarks of one build (x86, the product's, by default; or x64) and prints their
# figures as one table, with the machine and its load. Benchmarks assert nothing.
set -euo pipefail
build=${1:-x86}
case $build in
x86 | x64) ;;
*)
    echo "usage: $0 [x86|x64]" >&2
    exit 2
    ;;
esac
cd "$(dirname "${BASH_SOURCE[0]}")/.."
scripts/setup.sh >&2
cmake --preset "$build" >/dev/null
cmake --build --preset "$build" --target refresh_bench module_bench lookup_bench KestrumFloor >/dev/null
cpu=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)
echo "build: $build; machine: ${cpu:-unknown CPU}, $(nproc) cores; $(wine --version 2>/dev/null || echo Wine)"
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
echo
echo "| figure | median | how |"
echo "|---|---|---|"
cd "build/$build/bin"
for program in refresh_bench module_bench lookup_bench; do
    ../../../scripts/wine-run.sh "$program.exe"
done
echo
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
