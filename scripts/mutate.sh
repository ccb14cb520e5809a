#!/bin/bash
# The mutation score: applies each mutant of scripts/mutants.py to the product's sources (or the
# stand-in command catalogue), rebuilds the x86_64 build in build/mutate incrementally, runs the
# tests that can see the product, and restores the sources. A mutant is killed when a test fails
# or the tests run out of time; one that does not compile counts apart. Not part of the test
# command.
#
#   scripts/mutate.sh [--sample N [--seed S]] [--list] [--timeout SECONDS] [--tests REGEX] [FILTER]
#
# FILTER keeps the source files whose path contains it (page/, page/Verify, codetables/,
# standins/hart/commands/ ...). --tests runs only the ctest entries REGEX matches.
# --list prints the mutants and ends. --timeout bounds the build and the tests of one mutant
# (default 900 s). Ends with "mutants: K of N killed" and the survivors.
set -u
cd "$(dirname "$0")/.."
ROOT=$PWD

# The tests that see the product: the GoogleTest programs that load or compile it and the host
# scripts, without their code-page-936 repeats, the link tests, the compile-fail sources, the
# stress campaign and the checker's own tests.
TESTS='^(page_tests|page_rules_tests|worker_slot_tests|standins_tests|codetables_tests|script_[a-z_]+)$'
sample=0
seed=1
list=0
limit=900
filter=
while [ $# -gt 0 ]; do
    case "$1" in
        --sample) sample=$2; shift 2 ;;
        --seed) seed=$2; shift 2 ;;
        --list) list=1; shift ;;
        --timeout) limit=$2; shift 2 ;;
        --tests) TESTS=$2; shift 2 ;;
        -*) echo "mutate.sh: unknown option $1" >&2; exit 2 ;;
        *) filter=$1; shift ;;
    esac
done

all=$(python3 scripts/mutants.py list $filter) || exit 2
if [ "$list" = 1 ]; then
    printf '%s\n' "$all"
    exit 0
fi
chosen=$(printf '%s\n' "$all" | cut -f1)
if [ "$sample" -gt 0 ]; then
    chosen=$(printf '%s\n' "$chosen" | shuf -n "$sample" --random-source=<(yes "$seed") | sort -n)
fi

# The sources are saved once; after every mutant, and on any exit (an interrupt included), each file
# that differs from its saved copy is copied back with a new time stamp, so that the next
# incremental build recompiles it.
SAVE=$(mktemp -d)
FOLDERS="page module codetables standins/hart/commands"
cp -r --parents $FOLDERS "$SAVE"
restore() {
    for saved in $(cd "$SAVE" && find $FOLDERS -type f); do
        cmp -s "$SAVE/$saved" "$ROOT/$saved" || cp "$SAVE/$saved" "$ROOT/$saved"
    done
}
cleanup() {
    restore
    rm -rf "$SAVE"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

EXCLUDE='_cp936$'
TARGETS="Kestrum kestrum-host hart_tests page_tests page_rules_tests worker_slot_tests standins_tests codetables_tests"
BUILD=$ROOT/build/mutate
LOG=$BUILD/mutate.log

export CMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER-$(command -v ccache)}
export CMAKE_C_COMPILER_LAUNCHER=${CMAKE_C_COMPILER_LAUNCHER-$(command -v ccache)}
export CCACHE_BASEDIR=${CCACHE_BASEDIR-$ROOT}
build() {
    timeout "$1" cmake --build "$BUILD" -j2 --target $TARGETS >>"$LOG" 2>&1
}
mkdir -p "$BUILD"
cmake --preset x64 -B "$BUILD" >"$BUILD/configure.log" 2>&1 || { echo "mutate.sh: configure failed ($BUILD/configure.log)" >&2; exit 2; }
: >"$LOG"
echo "mutate.sh: building the unmutated sources in $BUILD" >&2
build 7200 || { echo "mutate.sh: the unmutated build fails ($LOG)" >&2; exit 2; }
(cd "$BUILD" && ctest -R "$TESTS" -E "$EXCLUDE" >>"$LOG" 2>&1) || { echo "mutate.sh: the unmutated tests fail ($LOG)" >&2; exit 2; }

killed=0
total=0
stillborn=0
survivors=
for id in $chosen; do
    what=$(printf '%s\n' "$all" | awk -F'\t' -v id="$id" '$1 == id { print $2 "\t" $3 }')
    python3 scripts/mutants.py apply "$id" $filter >/dev/null || exit 2
    echo "== mutant $id: $what" >>"$LOG"
    start=$SECONDS
    if ! build "$limit"; then
        stillborn=$((stillborn + 1))
        verdict="does not build"
    else
        total=$((total + 1))
        left=$((limit - (SECONDS - start)))
        [ "$left" -lt 60 ] && left=60
        if (cd "$BUILD" && timeout "$left" ctest -R "$TESTS" -E "$EXCLUDE" --stop-on-failure >>"$LOG" 2>&1); then
            survivors+="$what"$'\n'
            verdict="survived"
        else
            killed=$((killed + 1))
            verdict="killed"
        fi
    fi
    printf 'mutant %s (%ss): %s: %s\n' "$id" $((SECONDS - start)) "$verdict" "$(printf '%s' "$what" | tr '\t' ' ')"
    restore
done
# Leave the build as the sources are.
restore
build 7200 || true

echo "mutants: $killed of $total killed ($stillborn did not build)"
if [ -n "$survivors" ]; then
    echo "survivors:"
    printf '%s' "$survivors" | sed 's/^/  /; s/\t/  /'
fi
