#!/bin/sh
# Builds everything (installing what is missing) and runs every test: the
# sanitizer build of the suite, the fuzz targets over their corpora, then the
# whole suite (unit, screen, session, end-to-end and install tests), and
# last the Debian package: built, installed into a throwaway Debian root and
# removed again (skipped where that cannot be done: not root, no mirror).
set -e
cd "$(dirname "$0")"
VRILLON_TEST_DEPS=1 scripts/setup.sh
scripts/sanitize.sh
FUZZ_SECONDS="${FUZZ_SECONDS:-10}" scripts/fuzz.sh
cd build
ctest --output-on-failure -j "$(nproc)" -LE package
ctest --output-on-failure -L package
