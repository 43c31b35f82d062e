#!/bin/sh
# Builds everything (installing what is missing) and runs every test.
set -e
cd "$(dirname "$0")"
VRILLON_TEST_DEPS=1 scripts/setup.sh
cd build
ctest --output-on-failure -j "$(nproc)"
