# Shell functions shared by the tests that run the real game under an X
# server of their own: which SDL 1.2 to load, and a private Xvfb.
# Source it from bash or sh; it sets no options of its own.

# sdl_runtime_path RUNTIME GAME: prints the LD_LIBRARY_PATH folder that makes
# GAME load RUNTIME ("classic": Debian's SDL 1.2, "compat": sdl12-compat over
# SDL 2, found the way the installed launcher finds it); prints nothing when
# the system's own library is already that one. Returns 77 with the reason
# on standard output when RUNTIME is not available here, 2 for a bad RUNTIME.
sdl_runtime_path() {
    local runtime=$1 game=$2 sdl_lib system_is_compat=0
    # The library the game resolves to now; sdl12-compat installs itself either
    # as that library (a -shim package) or in an sdl12-compat folder beside it.
    sdl_lib=$(ldd "$game" | sed -n 's/^[[:space:]]*libSDL-1\.2\.so\.0 => \(\/[^ ]*\) .*/\1/p' | head -n 1)
    [ -n "$sdl_lib" ] || {
        echo "the game does not load libSDL-1.2.so.0"
        return 77
    }
    case $(readlink -f "$sdl_lib") in
    */libSDL-1.2.so.1.2.*) system_is_compat=1 ;;
    esac
    case $runtime in
    classic)
        [ $system_is_compat = 0 ] || {
            echo "the system's SDL 1.2 is sdl12-compat: there is no classic SDL 1.2 here"
            return 77
        }
        ;;
    compat)
        [ $system_is_compat = 1 ] && return 0
        [ -e "$(dirname "$sdl_lib")/sdl12-compat/libSDL-1.2.so.0" ] || {
            echo "sdl12-compat is not installed (Debian package libsdl1.2-compat)"
            return 77
        }
        echo "$(dirname "$sdl_lib")/sdl12-compat"
        ;;
    *)
        echo "the runtime is classic or compat, not '$runtime'"
        return 2
        ;;
    esac
}

# use_sdl_runtime RUNTIME GAME NAME: sets lib_path with sdl_runtime_path, or
# ends the script: "SKIP: reason" and status 77 when RUNTIME is not here,
# status 2 for a bad RUNTIME (NAME names the script in that message).
use_sdl_runtime() {
    lib_path=$(sdl_runtime_path "$1" "$2")
    case $? in
    0) ;;
    77)
        echo "SKIP: $lib_path"
        exit 77
        ;;
    *)
        echo "$3: $lib_path" >&2
        exit 2
        ;;
    esac
}

# start_xvfb LOG [SCREEN]: starts Xvfb on a display number nobody holds, sets
# DISPLAY and xvfb_pid. SCREEN is WIDTHxHEIGHTxDEPTH, by default the intro's
# full-screen mode, 640x480x24: with no window manager to make a window full
# screen, sdl12-compat would otherwise scale the intro for the whole screen
# into a 640 x 480 window and cut it off.
# No reset when the last client leaves: the intro closes its display and the
# game opens it again at once, which a resetting server may refuse. When
# another server takes the same number at the same moment, the lock file names
# the winner: ours must be it before anything talks to the display.
start_xvfb() {
    local log=$1 screen=${2:-640x480x24} n=$((20 + $$ % 70)) tries=0 waited
    while [ $tries -lt 50 ]; do
        if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
            Xvfb ":$n" -screen 0 "$screen" -nolisten tcp -noreset >"$log" 2>&1 &
            xvfb_pid=$!
            waited=0
            while kill -0 "$xvfb_pid" 2>/dev/null && [ $waited -lt 100 ]; do
                if [ "$(cat "/tmp/.X$n-lock" 2>/dev/null | tr -d ' \n')" = "$xvfb_pid" ] &&
                    xwininfo -root -display ":$n" >/dev/null 2>&1; then
                    export DISPLAY=":$n"
                    return 0
                fi
                sleep 0.1
                waited=$((waited + 1))
            done
            kill "$xvfb_pid" 2>/dev/null
            wait "$xvfb_pid" 2>/dev/null
            xvfb_pid=
        fi
        n=$((n >= 99 ? 20 : n + 1))
        tries=$((tries + 1))
    done
    return 1
}

# x_test_begin NAME: the common start of a test that plays the game under X:
# a scratch folder in tmp, a private Xvfb (DISPLAY set), and traps that kill
# a game left over (game_pid) and the server, and remove the folder, however
# the script ends. Ends the script with status 1 when no server starts.
x_test_begin() {
    tmp=$(mktemp -d "${TMPDIR:-/tmp}/$1.XXXXXX") || exit 1
    xvfb_pid=
    game_pid=
    trap x_test_cleanup EXIT
    trap 'exit 2' INT TERM
    if ! start_xvfb "$tmp/xvfb.log"; then
        cat "$tmp/xvfb.log" 2>/dev/null
        echo "FAIL: no X server could be started"
        exit 1
    fi
}
x_test_cleanup() {
    # A game left over is killed outright: a SIGTERM would only ask it to quit.
    [ -n "$game_pid" ] && kill -KILL "$game_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$tmp"
}
