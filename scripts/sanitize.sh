#!/bin/sh
# Builds the whole test suite with AddressSanitizer and UndefinedBehaviorSanitizer
# and runs it (the X-server end-to-end and install tests are left to the plain build,
# and so is the valgrind check, which cannot run a sanitized program, and the
# Debian package test).
set -e
cd "$(dirname "$0")/.."
ROOT=$(pwd)
BUILD="${VRILLON_ASAN_BUILD:-build-asan}"
cmake -S . -B "$BUILD" -DVRILLON_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$BUILD" -j "$(nproc)"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:strict_string_checks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$ROOT/tests/lsan.supp:print_suppressions=0"
cd "$BUILD"
ctest --output-on-failure -j "$(nproc)" -LE "e2e|install|valgrind|package"
