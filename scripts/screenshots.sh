#!/bin/sh
# scripts/screenshots.sh [BUILD_DIR [OUT_DIR]]: pictures of the installed game
# on a 1360x540 Xvfb screen at window scales 1 and 2 (docs/vrillon-scale1.png,
# docs/vrillon-scale2.png). The stand-in from the install test plays unless
# VRILLON_SHOT_GAME=1, which shows the real game after VRILLON_SHOT_WAIT
# seconds (5 by default; the intro is skipped with Escape). Needs Xvfb,
# ImageMagick, xdotool and sdl12-compat.
set -eu
cd "$(dirname "$0")/.."
. tests/support/x_display.sh
build=$(readlink -f "${1:-build}")
out=$(readlink -f "${2:-docs}")
mkdir -p "$out"

tmp=$(readlink -f "$(mktemp -d)")
xvfb_pid=
game_pid=
# The scratch install must not replace the list of a real one.
manifest=$build/install_manifest.txt
[ -e "$manifest" ] && cp "$manifest" "$tmp/manifest.saved"
cleanup() {
    [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    if [ -e "$tmp/manifest.saved" ]; then cp "$tmp/manifest.saved" "$manifest"; else rm -f "$manifest"; fi
    rm -rf "$tmp"
}
trap cleanup EXIT

cmake --install "$build" --prefix "$tmp/usr" >/dev/null
if [ "${VRILLON_SHOT_GAME:-0}" != 1 ]; then
    cp "$build/tests/install/sdl_probe" "$tmp/usr/libexec/vrillon/vrillon"
fi

start_xvfb "$tmp/xvfb.log" 1360x540x24 || {
    cat "$tmp/xvfb.log" >&2
    echo "screenshots.sh: no X server could be started" >&2
    exit 1
}

for scale in 1 2; do
    env -u SDL_VIDEODRIVER SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-dummy}" HOME="$tmp/home" VRILLON_SCALE=$scale PROBE_SECONDS=60 \
        "$tmp/usr/bin/vrillon" >"$tmp/out.$scale" 2>&1 &
    game_pid=$!
    if [ "${VRILLON_SHOT_GAME:-0}" = 1 ]; then
        # Skip the intro with Escape, then let the menu draw.
        sleep 2
        xdotool key Escape 2>/dev/null || true
        sleep "${VRILLON_SHOT_WAIT:-5}"
    else
        n=0
        until grep -q "^ready" "$tmp/out.$scale" || [ $n -ge 300 ]; do
            sleep 0.1
            n=$((n + 1))
        done
        sleep 1
    fi
    import -window root "$tmp/shot.png"
    convert "$tmp/shot.png" -strip "PNG24:$out/vrillon-scale$scale.png"
    kill "$game_pid"
    sleep 1
    kill -KILL "$game_pid" 2>/dev/null || true
    wait "$game_pid" || true
    game_pid=
    echo "$out/vrillon-scale$scale.png"
done
