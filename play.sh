#!/bin/sh
# Builds the game (installing what is missing) and runs it from its run-time
# tree, on the SDL library and at the window scale the installed launcher
# would choose (dist/sdl_runtime.sh): sdl12-compat where it is installed, the
# window enlarged by the largest whole factor that fits the screen.
set -e
cd "$(dirname "$0")"
scripts/setup.sh
set +e

say() { printf 'play.sh: %s\n' "$*" >&2; }
game=$(pwd)/build/game/vrillon
. dist/sdl_runtime.sh
if no_display; then
    say "no display: neither DISPLAY nor WAYLAND_DISPLAY is set, so the game's window has nowhere to open"
    say "start it from a desktop session, or set SDL_VIDEODRIVER to choose an SDL video driver"
    exit 1
fi
choose_sdl_runtime
cd build/game || exit 1
exec ./vrillon
