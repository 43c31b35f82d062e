#!/bin/sh
# run_session.sh VALGRIND SESSION_RUNNER GAME_DIR TEMPLATE_DIR
#
# Plays tests/valgrind/session.txt (intro skipped, one race, one name entry,
# the hall of fame, quit) under valgrind's memcheck in a scratch copy of the
# run-time tree. Fails on any invalid read or write, any use of uninitialised
# memory and any block definitely lost, apart from the system libraries' own
# losses listed in valgrind.supp.
set -u
valgrind=$1
runner=$2
game=$3
templates=$4
here=$(cd "$(dirname "$0")" && pwd)

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cp -r "$game/pics" "$game/sounds" "$game/font" "$templates/data" "$tmp/"
cd "$tmp" || exit 1

SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy "$valgrind" --tool=memcheck --error-exitcode=99 \
    --leak-check=full --show-leak-kinds=definite --errors-for-leak-kinds=definite \
    --num-callers=40 --suppressions="$here/valgrind.supp" \
    "$runner" "$here/session.txt" >session.out 2>session.err
status=$?

fail=0
if [ $status -ne 0 ]; then
    grep -v -e '^valeur' -e '^taille' session.err | tail -150
    echo "FAIL: the session under valgrind ended with status $status"
    fail=1
fi
# The session must really have gone through: a finish, a name entry, a normal end.
grep -q '^finish 0 ' session.err || { echo "FAIL: no runner finished"; fail=1; }
grep -q '^bba ' data/hall.dat || { echo "FAIL: the name entry did not reach the hall of fame"; fail=1; }
grep -q '^session exit 0$' session.err || { echo "FAIL: the session did not end normally"; fail=1; }
[ $fail -eq 0 ] && grep 'ERROR SUMMARY' session.err
exit $fail
