# The SDL runtime and the window scale, shared by the installed launcher
# (dist/vrillon.in, where the build copies this file in) and ./play.sh, which
# source it. Before calling, set "game" to the game's program and define
# say MESSAGE, which tells the player something.
#
# Where Debian's sdl12-compat is installed the game runs through it, in a
# window scaled by a whole number that fits the screen (VRILLON_SCALE sets the
# factor, 1 turns scaling off; VRILLON_SDL12COMPAT names the folder of another
# sdl12-compat, or "no" to keep the classic SDL 1.2).

# True when there is no screen to show the game on: neither an X nor a
# Wayland display, and no SDL video driver named. SDL would then fall back to
# a driver that shows nothing (offscreen on SDL 2, text art on the classic SDL
# 1.2), which the game refuses. SDL_VIDEODRIVER is there for whoever wants
# another (the Linux console's kmsdrm or fbcon, say).
no_display() {
    [ -z "${DISPLAY-}" ] && [ -z "${WAYLAND_DISPLAY-}" ] && [ -z "${SDL_VIDEODRIVER-}" ]
}

# The folder of sdl12-compat's libSDL-1.2.so.0 on stdout, or nothing. Empty
# when the system library already is sdl12-compat (the -shim package).
find_sdl12compat() {
    candidates=
    cache=
    case ${VRILLON_SDL12COMPAT-} in
    no | none | off | 0) return 1 ;;
    '') ;;
    *)
        if [ -e "$VRILLON_SDL12COMPAT/libSDL-1.2.so.0" ]; then
            printf '%s\n' "$VRILLON_SDL12COMPAT"
            return 0
        fi
        say "no libSDL-1.2.so.0 in VRILLON_SDL12COMPAT=$VRILLON_SDL12COMPAT; using the classic SDL"
        return 1
        ;;
    esac
    # The SDL the game resolves to now gives the right multiarch folder;
    # Debian keeps sdl12-compat in a sdl12-compat folder beside it.
    libs=$(ldd -- "$game" 2>/dev/null | sed -n 's/^[[:space:]]*libSDL-1\.2\.so\.0 => \(\/[^ ]*\) .*/\1/p')
    for lib in $libs; do
        case $(readlink -f -- "$lib") in
        */libSDL-1.2.so.1.2.*) return 0 ;;
        esac
        folder=$(dirname -- "$lib")
        case $folder in
        */sdl12-compat) candidates=$folder ;;
        *) candidates=$folder/sdl12-compat ;;
        esac
    done
    if [ -z "$libs" ]; then
        # No ldd: ask the loader cache, then look where Debian puts it.
        for ldconfig in ldconfig /sbin/ldconfig /usr/sbin/ldconfig; do
            cache=$("$ldconfig" -p 2>/dev/null) && break
        done
        for folder in $(printf '%s\n' "$cache" |
            sed -n 's/^[[:space:]]*libSDL-1\.2\.so\.0 (.*) => \(\/.*\)\/libSDL-1\.2\.so\.0$/\1/p'); do
            candidates="$candidates $folder/sdl12-compat"
        done
        candidates="$candidates /usr/lib/*/sdl12-compat /usr/lib/sdl12-compat /usr/local/lib/sdl12-compat"
    fi
    for folder in $candidates; do
        if [ -e "$folder/libSDL-1.2.so.0" ]; then
            printf '%s\n' "$folder"
            return 0
        fi
    done
    return 1
}

# The screen's width and height ("1920 1080") on stdout, or nothing.
screen_size() {
    size=
    if [ -n "${DISPLAY-}" ]; then
        # xrandr tells each monitor apart: take the primary, else the smallest.
        size=$(xrandr --current 2>/dev/null | awk '
            / connected/ {
                for (i = 3; i <= NF; i++)
                    if ($i ~ /^[0-9]+x[0-9]+\+[0-9]+\+[0-9]+$/) {
                        split($i, g, /[x+]/)
                        if ($3 == "primary") { pw = g[1]; ph = g[2] }
                        if (!w || g[1] * g[2] < w * h) { w = g[1]; h = g[2] }
                        break
                    }
            }
            END { if (pw) print pw, ph; else if (w) print w, h }')
        if [ -z "$size" ]; then
            size=$(xdpyinfo 2>/dev/null |
                sed -n 's/^[[:space:]]*dimensions:[[:space:]]*\([0-9]*\)x\([0-9]*\) pixels.*/\1 \2/p' |
                head -n 1)
        fi
        if [ -n "$size" ]; then
            printf '%s\n' "$size"
            return
        fi
    fi
    # No X tools (a Wayland session, say): the kernel knows each connected
    # output's preferred mode.
    for output in /sys/class/drm/*; do
        [ "$(cat "$output/status" 2>/dev/null)" = connected ] || continue
        mode=$(head -n 1 "$output/modes" 2>/dev/null)
        case $mode in
        [0-9]*x[0-9]*)
            printf '%s %s\n' "${mode%%x*}" "$(printf '%s' "${mode#*x}" | tr -cd '0-9')"
            return
            ;;
        esac
    done
}

# The largest whole scale whose window, with room for its frame and a panel,
# fits the screen; 1 when the screen is unknown.
auto_scale() {
    set -- $(screen_size)
    if [ $# -ne 2 ]; then
        echo 1
        return
    fi
    sx=$((($1 - 32) / 640))
    sy=$((($2 - 96) / 240))
    s=$((sx < sy ? sx : sy))
    echo $((s < 1 ? 1 : s))
}

# choose_sdl_runtime: exports what makes the game run on sdl12-compat, scaled,
# when it is installed (LD_LIBRARY_PATH, SDL12COMPAT_SCALE_METHOD,
# SDL12COMPAT_WINDOW_SCALING); tells why not when VRILLON_SCALE asks for it.
choose_sdl_runtime() {
    scale=
    case ${VRILLON_SCALE-} in
    '') ;;
    [1-9] | 1[0-6]) scale=$VRILLON_SCALE ;;
    *) say "VRILLON_SCALE must be a whole number from 1 to 16, not '$VRILLON_SCALE'; choosing one" ;;
    esac

    if compat=$(find_sdl12compat); then
        if [ -n "$compat" ]; then
            LD_LIBRARY_PATH=$compat${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}
            export LD_LIBRARY_PATH
        fi
        # The pictures are pixel art: keep their pixels square, also in full screen.
        : "${SDL12COMPAT_SCALE_METHOD:=nearest}"
        export SDL12COMPAT_SCALE_METHOD
        # A player's own SDL12COMPAT_WINDOW_SCALING stands unless VRILLON_SCALE is set.
        if [ -n "$scale" ] || [ -z "${SDL12COMPAT_WINDOW_SCALING-}" ]; then
            SDL12COMPAT_WINDOW_SCALING=${scale:-$(auto_scale)}
            export SDL12COMPAT_WINDOW_SCALING
        fi
    elif [ -n "$scale" ] && [ "$scale" != 1 ]; then
        say "VRILLON_SCALE needs sdl12-compat (Debian package libsdl1.2-compat); playing unscaled"
    fi
}
