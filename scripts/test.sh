#!/usr/bin/env bash
# Builds everything and runs every test on the 32-bit (i686) build, the product, under the 32-bit
# Wine; builds the x86_64 build and runs a subset there under the system's Wine; then a bounded
# stress campaign on the 32-bit build and over each real link, the window-free parts natively under
# sanitizers with a bounded fuzzer run, and an inspection of the i686 DLL. Each phase's time is
# printed at its end (docs/testing.md has them).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
# What the x86_64 build runs: the GoogleTest programs and two host scripts that drive the page end
# to end (operations.ksc: every operation with its main failures; shell.ksc: the page as a whole).
X64_TESTS='_tests$|^script_(operations|shell)$'
X64_SKIP='^(check_script_tests|audit_py_tests)$'
phase() {
    local name=$1 start=$SECONDS
    shift
    echo "== $name"
    "$@"
    echo "== $name: $((SECONDS - start)) s"
}
phase setup scripts/setup.sh
cmake --preset x86 >/dev/null
phase "x86 build" cmake --build --preset x86
phase "x86 tests" ctest --preset x86
cmake --preset x64 >/dev/null
phase "x64 build" cmake --build --preset x64
phase "x64 tests" ctest --preset x64 -R "$X64_TESTS" -E "$X64_SKIP"
phase stress scripts/stress.sh 60 300
phase "link serial" scripts/stress.sh --link serial 5 10
phase "link hart-ip" scripts/stress.sh --link hart-ip 5 10
phase "link hart-ip-udp" scripts/stress.sh --link hart-ip-udp 5 10
phase native scripts/native.sh
phase dll32 scripts/check-dll32.sh build/x86/bin/Kestrum.dll
