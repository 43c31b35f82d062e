#!/bin/sh
# scripts/how-to-play-shots.sh [BUILD_DIR [OUT_DIR]]: retakes the pictures of
# the README's and the man page's "How to play" (docs/how-to-play-*.png) from
# the real game, played with xdotool on a 640x480 Xvfb screen, silent
# (SDL_AUDIODRIVER=dummy), in a scratch copy of BUILD_DIR/game with fresh
# records. Needs Xvfb, xdotool and ImageMagick. Slow machines can stretch the
# waits with VRILLON_SHOT_SLOW=2 (a factor).
set -eu
cd "$(dirname "$0")/.."
. tests/support/x_display.sh
build=$(readlink -f "${1:-build}")
out=$(readlink -f "${2:-docs}")
slow=${VRILLON_SHOT_SLOW:-1}
mkdir -p "$out"

tmp=$(readlink -f "$(mktemp -d)")
xvfb_pid=
game_pid=
cleanup() {
    [ -n "$game_pid" ] && kill -KILL "$game_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$tmp"
}
trap cleanup EXIT

# The run-time tree with the shipped records, so that the pictures show what
# a new player sees and a developer's own records stay untouched.
mkdir -p "$tmp/game"
cp -r "$build/game/pics" "$build/game/sounds" "$build/game/font" "$build/templates/data" "$tmp/game/"
cp "$build/game/vrillon" "$tmp/game/"

start_xvfb "$tmp/xvfb.log" 640x480x24 || {
    cat "$tmp/xvfb.log" >&2
    echo "how-to-play-shots.sh: no X server could be started" >&2
    exit 1
}

pause() { sleep "$(awk "BEGIN { print $1 * $slow }")"; }
# The pointer stays over the game, so that the keys reach it.
key() { xdotool mousemove 320 120 key --delay 60 "$@"; }
# hammer N: player 1 clicks (the mouse is row 1's input when no joystick is
# attached) and player 2 presses z, N times each.
hammer() {
    i=0
    while [ $i -lt "$1" ]; do
        xdotool mousemove 320 120 click 1 key z
        i=$((i + 1))
    done
}
# shot NAME [GEOMETRY]: the screen's top-left 640x240 (or GEOMETRY) as docs/how-to-play-NAME.png
shot() {
    import -window root "$tmp/screen.png"
    convert "$tmp/screen.png" -crop "${2:-640x240+0+0}" +repage -strip "PNG24:$out/how-to-play-$1.png"
    echo "$out/how-to-play-$1.png"
}
# white_pixels: how many pixels of the intro's title area are white now.
white_pixels() {
    import -window root "$tmp/screen.png"
    convert "$tmp/screen.png" -crop 595x200+45+0 -fill black +opaque white -fill white -opaque white \
        -format '%[fx:int(mean*w*h)]' info:
}

cd "$tmp/game"
SDL_AUDIODRIVER=dummy ./vrillon >"$tmp/game.out" 2>&1 &
game_pid=$!

# The intro: the dot's trail, then the studio's name.
n=0
until [ "$(white_pixels)" -gt 5000 ] || [ $n -ge 120 ]; do
    sleep 0.25
    n=$((n + 1))
done
pause 0.5
shot intro 640x480+0+0
key Escape
pause 2

shot menu
key F2
pause 1
shot controls
key Escape
pause 1

# Two players: the arrow down one row, Return, the countdown, then both hammer.
key Down Return
pause 6.5
hammer 60
shot race
hammer 200
pause 1
# Both have finished: Escape offers their times to the hall of fame.
key Escape
pause 6
key Up Up Right Up Right Up Up Up
pause 0.3
shot new-record
key Return
pause 6
key Return
pause 1.5
key F3
pause 2
shot hall
key Escape
pause 1
key alt+F4
n=0
while kill -0 "$game_pid" 2>/dev/null && [ $n -lt 50 ]; do
    sleep 0.1
    n=$((n + 1))
done
game_pid=
