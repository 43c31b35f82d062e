#!/bin/sh
# The check that tools/windows_libs draws what Debian's SDL_ttf and SDL_gfx
# draw: builds it natively with its probes, then runs each probe pair, the
# one linked with these libraries writing every result, the one linked with
# Debian's comparing them byte for byte.
#
#   run_compare.sh build SOURCE WORK C_COMPILER CXX_COMPILER [EXTRA_FLAGS]
#   run_compare.sh ttf|rotozoom WORK COMIC_FONT TITLE_FONT
#
# VRILLON_PROBE_OURS, a command, runs another probe on these libraries in
# place of WORK's: the cross-built one under Wine, for instance
#   VRILLON_PROBE_OURS="sh tests/windows/wine.sh --dlls PREFIX/bin
#   build-windows/windows_libs/ttf_probe_ours.exe"
# (the probe's arguments follow it).
#
# The rotozoomer's source is Debian's libsdl2-gfx: the orig tarball the
# Windows build fetched (in VRILLON_WINDOWS_CACHE/src), or one fetched here
# with apt-get source. Where neither can be had, the rotozoom check is
# skipped (77), not failed.
set -eu

step=$1
shift

orig_tarball() { # the newest libsdl2-gfx orig tarball in directory $1
    ls "$1"/libsdl2-gfx_*.orig.tar.* 2>/dev/null | grep -v '\.asc$' | sort -V | tail -n 1
}

case $step in
build)
    source=$1
    work=$2
    cc=$3
    cxx=$4
    flags=${5:-}
    mkdir -p "$work/src"
    tarball=$(orig_tarball "${VRILLON_WINDOWS_CACHE:-/var/cache/vrillon-windows}/src")
    [ -n "$tarball" ] || tarball=$(orig_tarball "$work/src")
    if [ -z "$tarball" ]; then
        # Debian's packaging tarball may be missing from the mirror: only the
        # upstream source is wanted, and apt-get keeps it either way.
        (cd "$work/src" && apt-get source --download-only -qq libsdl2-gfx >apt.log 2>&1) || true
        tarball=$(orig_tarball "$work/src")
    fi
    gfx=""
    if [ -n "$tarball" ]; then
        gfx="$work/sdl2-gfx"
        if [ ! -f "$gfx/unpacked-from" ] || [ "$(cat "$gfx/unpacked-from")" != "$tarball" ]; then
            rm -rf "$gfx"
            mkdir -p "$gfx"
            tar -xf "$tarball" -C "$gfx" --strip-components=1
            echo "$tarball" >"$gfx/unpacked-from"
        fi
    else
        echo "no libsdl2-gfx source (apt-get source libsdl2-gfx failed, see $work/src/apt.log):" \
            "the rotozoom check will be skipped"
    fi
    echo "$gfx" >"$work/sdl2-gfx-source"
    # The rotozoomer (the one C file) does SDL_gfx's arithmetic, negative
    # shifts and overflows on degenerate sizes included, as it always has on
    # these compilers: only its memory use is checked.
    cflags=$flags
    case $flags in *-fsanitize=*) cflags="-fsanitize=address -fno-omit-frame-pointer" ;; esac
    cmake -S "$source" -B "$work/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_C_COMPILER="$cc" -DCMAKE_CXX_COMPILER="$cxx" \
        -DCMAKE_C_FLAGS="$cflags" -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags" \
        -DWINDOWS_LIBS_COMPARE=ON -DSDL2_GFX_SOURCE="$gfx" >"$work/configure.log" || {
        cat "$work/configure.log"
        exit 1
    }
    cmake --build "$work/build" -j 2
    ;;
ttf | rotozoom)
    work=$1
    if [ "$step" = rotozoom ] && [ -z "$(cat "$work/sdl2-gfx-source" 2>/dev/null)" ]; then
        echo "skipped: no libsdl2-gfx source to build the rotozoomer from"
        exit 77
    fi
    cd "$work"
    if [ "$step" = ttf ]; then
        comic=$2
        title=$3
    fi
    # Each probe with its arguments: the fonts, and a folder of its own for
    # the damaged ones, as both run at once.
    probe() { # probe SIDE MODE FILE
        program="build/${step}_probe_$1"
        [ "$1" = ours ] && [ -n "${VRILLON_PROBE_OURS:-}" ] && program=$VRILLON_PROBE_OURS
        if [ "$step" = ttf ]; then
            mkdir -p "scratch-$1"
            $program "$2" "$3" "$comic" "$title" "scratch-$1"
        else
            $program "$2" "$3"
        fi
    }
    # Straight from one to the other, the results running to hundreds of
    # megabytes; through a file for another probe (Wine and pipes).
    fifo="$step-results.fifo"
    rm -f "$fifo"
    if [ -n "${VRILLON_PROBE_OURS:-}" ]; then
        probe ours write "$fifo" || {
            echo "the probe on tools/windows_libs ended with status $?"
            rm -f "$fifo"
            exit 1
        }
        probe debian compare "$fifo"
        compared=$?
        rm -f "$fifo"
        exit $compared
    fi
    mkfifo "$fifo"
    probe ours write "$fifo" &
    writer=$!
    set +e
    # Debian's SDL_ttf leaks a little when a font fails to open: a sanitized
    # build looks for leaks in these libraries only.
    ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" probe debian compare "$fifo"
    compared=$?
    wait $writer
    wrote=$?
    set -e
    rm -f "$fifo"
    if [ $wrote -ne 0 ]; then
        echo "the probe on tools/windows_libs ended with status $wrote"
        exit 1
    fi
    exit $compared
    ;;
*)
    echo "usage: $0 build SOURCE WORK CC CXX [FLAGS] | ttf|rotozoom WORK [COMIC TITLE]" >&2
    exit 2
    ;;
esac
