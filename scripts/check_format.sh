#!/bin/sh
# Checks that every C and C++ file under src, tools, tests and bench is as
# clang-format (with the repository's .clang-format) writes it. Prints the
# places that differ and fails; `clang-format -i FILE` mends a file.
set -e
cd "$(dirname "$0")/.."
if ! command -v clang-format >/dev/null 2>&1; then
    echo "check_format.sh: clang-format is not installed (scripts/setup.sh lists it)" >&2
    exit 1
fi
find src tools tests bench \( -name '*.cpp' -o -name '*.h' -o -name '*.c' \) -print |
    sort | xargs clang-format --dry-run --Werror
echo "format: every file as clang-format writes it"
