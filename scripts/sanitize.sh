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
ctest --output-on-failure -j "$(nproc)" -LE "e2e|exits|install|valgrind|package"

# Again on sdl12-compat, the runtime the installed launcher prefers, where
# SDL 2 does the work underneath.
COMPAT="/usr/lib/$(gcc -print-multiarch 2>/dev/null)/sdl12-compat"
if [ -e "$COMPAT/libSDL-1.2.so.0" ]; then
    cat "$ROOT/tests/lsan.supp" "$ROOT/tests/lsan-sdl2.supp" >lsan-compat.supp
    echo "== the same on sdl12-compat"
    LD_LIBRARY_PATH="$COMPAT${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}" \
        LSAN_OPTIONS="suppressions=$(pwd)/lsan-compat.supp:print_suppressions=0" \
        ctest --output-on-failure -j "$(nproc)" -LE "e2e|exits|install|valgrind|package"
else
    echo "sdl12-compat is not installed: the sanitizer run on it is skipped"
fi
