#!/bin/sh
# Builds the game and its benchmark, then runs the benchmark headless: each of
# the game's hot paths beside its bare-SDL floor in one run, then a summary of
# the figures, the ratios to the floors and the targets. Ends with status 3
# when a figure misses its target (not with --quick), 1 when a measurement
# could not run.
#   scripts/bench.sh                              the whole run (about a minute)
#   scripts/bench.sh --quick                      one short pass, to see it works
#   scripts/bench.sh --benchmark_filter=race      Google Benchmark's own options too
set -e
cd "$(dirname "$0")/.."
BUILD_DIR="${VRILLON_BUILD_DIR:-build}"
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVRILLON_BENCH=ON >/dev/null
cmake --build "$BUILD_DIR" -j 2 --target vrillon_bench >/dev/null
exec "$BUILD_DIR/bench/vrillon_bench" "$@"
