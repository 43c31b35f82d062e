#!/bin/sh
# run_session.sh NAME SESSIONS_DIR BUILD_DIR RUNNER
#
# Plays SESSIONS_DIR/NAME.script with the session runner (headless, on a
# simulated clock) in a fresh copy of the run-time tree whose record files
# come from the templates, then compares what the session left with
# SESSIONS_DIR/NAME.expected/: the record files data/*.dat, the standard
# output, the "frame N crc" checksum lines and the exit status.
#
# On a difference it prints the expected and the seen values and keeps what
# the session left in BUILD_DIR/session-artifacts/NAME/. With
# VRILLON_UPDATE_SESSIONS=1 it writes what it saw as the new expected files.
#
# FONT... are the system font files the build drew its texts and lettering
# with. Their checksums when the expectations were made are kept in
# SESSIONS_DIR/fonts.sha256: when a font package update has changed one,
# every text on screen may shift by a pixel, so the screen checksums are not
# compared (a note says so) while everything else still is.
set -u
if [ $# -lt 4 ]; then
    echo "usage: run_session.sh NAME SESSIONS_DIR BUILD_DIR RUNNER [FONT...]" >&2
    exit 2
fi
name=$1
sessions=$2
build=$3
runner=$4
shift 4
script=$sessions/$name.script
expected=$sessions/$name.expected
artifacts=$build/session-artifacts/$name

if [ ! -f "$script" ]; then
    echo "FAIL: no script $script"
    exit 1
fi
tmp=$(mktemp -d "${TMPDIR:-/tmp}/vrillon-session.XXXXXX") || exit 1
trap 'rm -rf "$tmp"' EXIT
trap 'exit 2' INT TERM

# A fresh tree: the built pictures, sounds and fonts, the record files as
# the game ships them (a developer's own games in build/game stay out).
tree=$tmp/tree
cp -r "$build/game" "$tree" && rm -rf "$tree/data" && cp -r "$build/templates/data" "$tree/data" || {
    echo "FAIL: cannot copy the run-time tree from $build"
    exit 1
}
# A script that never quits would leave the game in its menu for ever.
(cd "$tree" && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy timeout 60 "$runner" "$script") \
    >"$tmp/stdout.txt" 2>"$tmp/stderr.txt"
status=$?
if [ $status = 124 ]; then
    echo "FAIL [$name]: the session did not end within 60 s: does the script quit at the end?"
    exit 1
fi

seen=$tmp/seen
mkdir -p "$seen/data"
for f in control.dat hall.dat scores.dat; do
    cp "$tree/data/$f" "$seen/data/$f" 2>/dev/null || echo "(missing)" >"$seen/data/$f"
done
cp "$tmp/stdout.txt" "$seen/stdout.txt"
grep '^frame [0-9]* crc ' "$tmp/stderr.txt" >"$seen/checksums.txt"
echo "$status" >"$seen/status"
fonts=$tmp/fonts.sha256
for font in "$@"; do
    printf '%s  %s\n' "$(sha256sum <"$font" | cut -d' ' -f1)" "$(basename "$font")"
done >"$fonts"

if [ "${VRILLON_UPDATE_SESSIONS:-0}" = 1 ]; then
    rm -rf "$expected"
    cp -r "$seen" "$expected"
    [ $# -gt 0 ] && cp "$fonts" "$sessions/fonts.sha256"
    echo "updated $expected (status $status)"
    exit 0
fi

compared="status data/control.dat data/hall.dat data/scores.dat stdout.txt checksums.txt"
if [ $# -gt 0 ] && [ -f "$sessions/fonts.sha256" ] && ! cmp -s "$fonts" "$sessions/fonts.sha256"; then
    echo "note [$name]: the fonts differ from those the expectations were made with;"
    echo "  the screen checksums are not compared (VRILLON_UPDATE_SESSIONS=1 remakes them)"
    diff "$sessions/fonts.sha256" "$fonts" | sed -n 's/^[<>]/ &/p'
    compared="status data/control.dat data/hall.dat data/scores.dat stdout.txt"
fi

differ=0
for f in $compared; do
    if [ ! -e "$expected/$f" ]; then
        echo "FAIL [$name]: no expected $f (make it with VRILLON_UPDATE_SESSIONS=1)"
        differ=1
    elif ! cmp -s "$expected/$f" "$seen/$f"; then
        echo "FAIL [$name]: $f differs (--- expected, +++ seen)"
        diff -u "$expected/$f" "$seen/$f" | tail -n +3 | head -n 40
        differ=1
    fi
done

rm -rf "$artifacts"
if [ $differ = 1 ]; then
    mkdir -p "$artifacts"
    cp -r "$seen/." "$artifacts/"
    cp "$tmp/stderr.txt" "$artifacts/stderr.txt"
    echo "what the session left is in $artifacts"
    echo "(if the change is intended: VRILLON_UPDATE_SESSIONS=1 ctest -R session_$name)"
    exit 1
fi
echo "session $name: as expected (status $status)"
exit 0
