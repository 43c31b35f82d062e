#!/bin/sh
# Builds the game (installing what is missing) and runs it from its run-time tree.
set -e
cd "$(dirname "$0")"
scripts/setup.sh
cd build/game
exec ./vrillon
