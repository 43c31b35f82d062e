#!/bin/sh
# Builds the libFuzzer targets with clang and runs each one: first over its
# committed corpus, then for FUZZ_SECONDS (default 20) of fresh inputs. An input
# that takes more than 30 s counts as a hang and fails the target.
#   scripts/fuzz.sh            replay + brief run of every target
#   FUZZ_SECONDS=600 scripts/fuzz.sh hall   ten minutes on one target
set -e
cd "$(dirname "$0")/.."
ROOT=$(pwd)
BUILD="${VRILLON_FUZZ_BUILD:-build-fuzz}"
SECONDS_EACH="${FUZZ_SECONDS:-20}"
TARGETS="${*:-archive controls scores hall rank sound}"

CC=clang CXX=clang++ cmake -S . -B "$BUILD" -DVRILLON_FUZZ=ON -DVRILLON_TESTS=OFF \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
case "$BUILD" in /*) ;; *) BUILD="$ROOT/$BUILD" ;; esac
for t in $TARGETS; do
    cmake --build "$BUILD" -j "$(nproc)" --target "fuzz_$t" >/dev/null
done

# Each target makes its scratch folder in here (in memory where /dev/shm is),
# removed after each run, whatever way the target ended.
scratch=$(mktemp -d /dev/shm/vrillon-fuzz.XXXXXX 2>/dev/null || mktemp -d)
trap 'rm -rf "$scratch"' EXIT
trap 'exit 2' INT TERM
export VRILLON_FUZZ_SCRATCH="$scratch"

status=0
passed=0
failed=0
for t in $TARGETS; do
    rm -rf "${scratch:?}"/*
    work=$(mktemp -d)
    cp "$ROOT"/tests/fuzz/corpus/"$t"/* "$work"/
    echo "== fuzz_$t: replaying the committed corpus"
    if ! "$BUILD/tests/fuzz/fuzz_$t" -runs=0 -timeout=30 "$ROOT/tests/fuzz/corpus/$t" >"$work.log" 2>&1; then
        tail -40 "$work.log"; status=1; failed=$((failed + 1)); continue
    fi
    echo "== fuzz_$t: ${SECONDS_EACH}s of new inputs"
    if ! (cd "$work" && "$BUILD/tests/fuzz/fuzz_$t" -max_total_time="$SECONDS_EACH" \
            -timeout=30 -max_len=4096 -print_final_stats=1 "$work" >"$work.log" 2>&1); then
        tail -40 "$work.log"; status=1; failed=$((failed + 1)); continue
    fi
    grep -E 'stat::number_of_executed_units|Done [0-9]+ runs' "$work.log" | tail -2
    # A target that ends well takes its scratch folder with it.
    if [ -n "$(ls -A "$scratch")" ]; then
        echo "fuzz_$t left its scratch folder behind: $(ls -A "$scratch" | head -3 | tr '\n' ' ')"
        status=1; failed=$((failed + 1)); continue
    fi
    rm -rf "$work" "$work.log"
    passed=$((passed + 1))
done
echo "fuzz: $passed passed, $failed failed"
exit $status
