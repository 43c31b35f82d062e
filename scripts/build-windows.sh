#!/bin/sh
# Cross-builds Vrillon for 64-bit Windows on Debian 12, and packs the zip a
# player unzips and plays: build-windows/vrillon-windows-x86_64.zip.
#
#   1. installs what it needs with apt-get (as root, or through sudo);
#   2. adds a deb-src entry for the Debian mirror apt already uses;
#   3. cross-builds the libraries for x86_64-w64-mingw32 from Debian's own
#      source packages (apt-get source, Debian's patches applied), and SDL_ttf
#      and SDL_gfx's rotozoom from tools/windows_libs, into a prefix kept
#      outside the clone, named after the packages' versions and this
#      script's recipe, so a second run reuses it at once;
#   4. prepares a Wine prefix beside it, where the tests run the programs;
#   5. builds the game natively (build/, for the run-time tree: pictures,
#      sounds, fonts, record templates), then cross-builds the game, the
#      session runner, the unit tests and the benchmark into build-windows/;
#   6. packs the zip.
# Then `cd build-windows && ctest -L windows` plays the tests under Wine.
#
# Environment:
#   VRILLON_WINDOWS_CACHE    where the libraries and the Wine prefix are kept
#                            (default /var/cache/vrillon-windows)
#   VRILLON_JOBS             parallel jobs (default 2)
#   VRILLON_WINDOWS_LIBS_ONLY=1  stops once the libraries are built
# Exit status: 0 built; 1 failed; 77 when the packages it needs cannot be
# installed here (not root, no sudo, apt-get refusing), after saying which.
set -eu
cd "$(dirname "$0")/.."
ROOT=$(pwd)
SCRIPT="$ROOT/scripts/build-windows.sh"
HOST=x86_64-w64-mingw32
CACHE=${VRILLON_WINDOWS_CACHE:-/var/cache/vrillon-windows}
JOBS=${VRILLON_JOBS:-2}
BUILD=build-windows
NICE="nice -n 10"

now() { date +%s; }
T0=$(now)
say() { printf '== [%4ss] %s\n' "$(($(now) - T0))" "$*"; }

if [ "$(id -u)" = 0 ]; then
    SUDO=""
elif command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
    SUDO="sudo"
else
    SUDO=none
fi

# --- 1. Debian packages --------------------------------------------------------
PACKAGES="mingw-w64 wine wine64 dpkg-dev zip unzip cmake make pkg-config patch xz-utils \
ca-certificates freepats"
missing=""
for p in $PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
        missing="$missing $p"
done
if [ -n "$missing" ]; then
    if [ "$SUDO" = none ]; then
        echo "The Windows build needs these Debian packages. Install them as root with:"
        echo "  apt-get update && apt-get install -y --no-install-recommends$missing"
        exit 77
    fi
    say "installing:$missing"
    if ! { $SUDO apt-get update -qq && DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y \
        -qq --no-install-recommends $missing >/dev/null; }; then
        echo "apt-get could not install:$missing" >&2
        exit 77
    fi
    say "installed"
fi
mkdir -p "$CACHE" 2>/dev/null || $SUDO mkdir -p "$CACHE"
if [ ! -w "$CACHE" ]; then
    echo "$CACHE cannot be written: set VRILLON_WINDOWS_CACHE to a folder of your own" >&2
    exit 1
fi

# --- 2. deb-src for the mirror apt already uses ----------------------------------
# Debian 12 lists its mirrors in deb822 form; the source entries go to a file
# of their own, the same mirrors and suites with Types: deb-src.
DEBSRC=/etc/apt/sources.list.d/vrillon-deb-src.sources
if ! apt-get source --print-uris -qq libsdl1.2 >/dev/null 2>&1; then
    if [ "$SUDO" = none ]; then
        echo "apt knows no Debian source packages: add a deb-src entry for your mirror (as root)." >&2
        exit 1
    fi
    say "adding $DEBSRC"
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
        awk 'BEGIN { RS = ""; ORS = "\n\n" }
             /(^|\n)Types:[^\n]*(^| )deb( |\n|$)/ {
                 sub(/Types:[^\n]*/, "Types: deb-src"); print }' \
            /etc/apt/sources.list.d/debian.sources | $SUDO tee "$DEBSRC" >/dev/null
    else
        sed -n 's/^deb \(.*\)$/deb-src \1/p' /etc/apt/sources.list |
            $SUDO tee /etc/apt/sources.list.d/vrillon-deb-src.list >/dev/null
    fi
    $SUDO apt-get update -qq
fi

# --- 3. libraries --------------------------------------------------------------------
# The classic SDL 1.2 (Debian's libsdl1.2): its Windows video and sound
# drivers are the game's own runtime there (the README says why).
SOURCES="libsdl1.2 freetype sdl-mixer1.2 mpg123 googletest benchmark libsdl2-gfx"

# The version apt-get source takes: the one of the .dsc it would fetch.
source_version() {
    apt-get source --print-uris -qq "$1" 2>/dev/null |
        sed -n "s/^'[^']*' $1_\([^ ]*\)\.dsc .*/\1/p" | head -n 1
}
VERSIONS=""
for s in $SOURCES; do
    v=$(source_version "$s")
    if [ -z "$v" ]; then
        echo "apt-get source knows no source package $s" >&2
        exit 1
    fi
    VERSIONS="$VERSIONS $s=$v"
done
# The project's own libraries count by their files' contents.
WINLIBS=tools/windows_libs
winlibs_sum() {
    [ -d "$WINLIBS" ] || return 0
    find "$WINLIBS" -type f | LC_ALL=C sort | xargs sha256sum
}
RECIPE=$(sed -n '/^# --- recipe/,/^# --- end of recipe/p' "$SCRIPT")
KEY=$( (
    echo "$VERSIONS"
    $HOST-gcc-posix --version | head -n 1
    echo "$RECIPE"
    winlibs_sum
) | sha256sum | cut -c1-16)
PREFIX="$CACHE/classic-$KEY"
say "libraries:$VERSIONS"
say "prefix: $PREFIX"

# --- recipe: how each library is built (this section names the cache) ----------------
# Every library is built for the host without its programs, tests, docs or
# unneeded back-ends. SDL and mpg123 are DLLs (both LGPL, so a player can
# replace them); the rest is linked into the programs. The C and C++ runtimes
# are linked statically, so no compiler DLL is shipped.
# Of these, only the upstream tarball is used (the mirror may lack the rest).
ORIG_ONLY="libsdl2-gfx"
orig_only() { case " $ORIG_ONLY " in *" $1 "*) return 0 ;; esac; return 1; }
upstream() { echo "$1" | sed 's/^[0-9]*://; s/-[^-]*$//'; }

fetch() { # fetch NAME VERSION: the source package, kept in $CACHE/src
    mkdir -p "$CACHE/src"
    (cd "$CACHE/src" && apt-get source --download-only -qq "$1=$2" >/dev/null 2>"$1.log") || true
    # Every file the .dsc lists but its detached signatures, which nothing
    # here checks.
    lacking=""
    if orig_only "$1"; then
        ls "$CACHE/src/$1_$(upstream "$2")".orig.tar.* >/dev/null 2>&1 ||
            lacking="$1_$(upstream "$2").orig.tar.*"
    elif [ -f "$CACHE/src/$1_${2#*:}.dsc" ]; then
        for f in $(sed -n '/^Files:/,/^[^ ]/s/^ [0-9a-f]* [0-9]* //p' "$CACHE/src/$1_${2#*:}.dsc"); do
            case $f in *.asc) continue ;; esac
            [ -f "$CACHE/src/$f" ] || lacking="$lacking $f"
        done
    else
        lacking="$1_${2#*:}.dsc"
    fi
    [ -z "$lacking" ] && return 0
    echo "apt-get source $1 did not give:$lacking" >&2
    grep "^E:" "$CACHE/src/$1.log" | grep -v '\.asc ' >&2 || true
    return 1
}

unpack() { # unpack NAME VERSION DIR: the source with its Debian patches applied
    dsc="$CACHE/src/$1_${2#*:}.dsc"
    rm -rf "$3"
    if orig_only "$1"; then
        mkdir -p "$3"
        tar -xf "$(ls "$CACHE/src/$1_$(upstream "$2")".orig.tar.* | grep -v '\.asc$' | head -n 1)" \
            -C "$3" --strip-components=1
    elif ! dpkg-source --no-check -x "$dsc" "$3" >"$3.log" 2>&1; then
        # A file the .dsc lists but the mirror lacks (a signature): unpack the
        # tarballs and apply the patch series as dpkg-source would.
        rm -rf "$3"
        mkdir -p "$3"
        tar -xf "$(ls "$CACHE/src/$1_$(upstream "$2")".orig.tar.* | grep -v '\.asc$' | head -n 1)" \
            -C "$3" --strip-components=1
        tar -xf "$(ls "$CACHE/src/$1_$2".debian.tar.*)" -C "$3"
        if [ -f "$3/debian/patches/series" ]; then
            sed 's/#.*//' "$3/debian/patches/series" | while read -r p opt; do
                [ -n "$p" ] || continue
                patch -d "$3" -s -f ${opt:--p1} <"$3/debian/patches/$p" >/dev/null
            done
        fi
    fi
}

CROSS_ENV="CC=$HOST-gcc-posix CXX=$HOST-g++-posix AR=$HOST-ar RANLIB=$HOST-ranlib WINDRES=$HOST-windres"
STATIC_RUNTIME="-static-libgcc -static-libstdc++"

cmake_lib() { # cmake_lib SRC BUILD [options...]
    src=$1
    bld=$2
    shift 2
    $NICE cmake -S "$src" -B "$bld" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$STAGE" -DCMAKE_PREFIX_PATH="$STAGE" \
        -DCMAKE_SHARED_LINKER_FLAGS="$STATIC_RUNTIME" "$@" >"$bld.configure.log" 2>&1
    $NICE cmake --build "$bld" -j "$JOBS" >"$bld.build.log" 2>&1
    cmake --install "$bld" >"$bld.install.log" 2>&1
}

build_libsdl1_2() {
    (cd "$1" && $NICE ./configure --host=$HOST --prefix="$STAGE" --disable-static \
        --disable-rpath --disable-nasm --disable-video-opengl \
        $CROSS_ENV LDFLAGS="$STATIC_RUNTIME" >configure.log 2>&1 &&
        $NICE make -j "$JOBS" >build.log 2>&1 && make install >install.log 2>&1)
}

build_freetype() {
    cmake_lib "$1" "$1-build" -DBUILD_SHARED_LIBS=OFF -DFT_DISABLE_ZLIB=TRUE \
        -DFT_DISABLE_BZIP2=TRUE -DFT_DISABLE_PNG=TRUE -DFT_DISABLE_HARFBUZZ=TRUE \
        -DFT_DISABLE_BROTLI=TRUE
}

# WAV and MIDI (its built-in timidity) only: the game decodes MP3 itself.
build_sdl_mixer1_2() {
    (cd "$1" && $NICE ./configure --host=$HOST --prefix="$STAGE" --disable-shared \
        --enable-static --disable-sdltest --enable-music-wave --enable-music-midi \
        --enable-music-timidity-midi --disable-music-native-midi \
        --disable-music-fluidsynth-midi --disable-music-ogg --disable-music-flac \
        --disable-music-mod --disable-music-mod-modplug --disable-music-mp3 \
        --disable-music-mp3-mad-gpl --disable-music-cmd --disable-smpegtest \
        SDL_CFLAGS="$(pkg-config --cflags sdl)" SDL_LIBS="$(pkg-config --libs sdl)" \
        $CROSS_ENV >configure.log 2>&1 &&
        make build >build.log 2>&1 && $NICE make -j "$JOBS" build/libSDL_mixer.la >>build.log 2>&1 &&
        make install-hdrs install-lib >install.log 2>&1 &&
        install -m 644 SDL_mixer.pc "$STAGE/lib/pkgconfig/")
}

build_mpg123() {
    (cd "$1" && $NICE ./configure --host=$HOST --prefix="$STAGE" --enable-shared \
        --disable-static --disable-components --enable-libmpg123 --with-cpu=x86-64 \
        $CROSS_ENV LDFLAGS="$STATIC_RUNTIME" >configure.log 2>&1 &&
        $NICE make -j "$JOBS" >build.log 2>&1 && make install >install.log 2>&1)
}

build_googletest() {
    cmake_lib "$1" "$1-build" -DBUILD_GMOCK=ON -Dgtest_disable_pthreads=ON \
        -DBUILD_SHARED_LIBS=OFF
}

# Its version given as Debian gives it, as the source has no Git tags to read.
build_benchmark() {
    cmake_lib "$1" "$1-build" -DGIT_VERSION="$(upstream "$2")" \
        -DBUILD_SHARED_LIBS=OFF -DBENCHMARK_ENABLE_TESTING=OFF \
        -DBENCHMARK_ENABLE_GTEST_TESTS=OFF -DBENCHMARK_ENABLE_WERROR=OFF \
        -DBENCHMARK_ENABLE_LTO=OFF -DBENCHMARK_INSTALL_DOCS=OFF
}

# SDL_ttf and SDL_gfx: Debian's source packages of these two (sdl-ttf2.0,
# sdlgfx) are not to be had from every mirror, so the project keeps what the
# game needs of them in tools/windows_libs: the SDL_ttf calls the game makes,
# over FreeType, and SDL_gfx's rotozoom, taken from Debian's libsdl2-gfx
# source and patched to SDL 1.2 there. It installs both into the prefix, with
# their headers and pkg-config files.
build_libsdl2_gfx() { :; } # its rotozoom is built with tools/windows_libs

build_windows_libs() {
    [ -f "$ROOT/$WINLIBS/CMakeLists.txt" ] || return 0
    began=$(now)
    cmake_lib "$ROOT/$WINLIBS" "$WORK/windows_libs" -DSDL2_GFX_SOURCE="$WORK/libsdl2-gfx" ||
        return 1
    echo "$WINLIBS $(($(now) - began)) s" >>"$PREFIX/build-times.txt"
}
# --- end of recipe ---------------------------------------------------------------------

if [ ! -f "$PREFIX/complete" ]; then
    STAGE="$PREFIX"
    WORK="$CACHE/work-$KEY"
    rm -rf "$PREFIX" "$WORK"
    mkdir -p "$PREFIX/lib/pkgconfig" "$PREFIX/licences" "$WORK"
    # The libraries find each other in the prefix alone; the native build
    # below must not find them: the caller's settings come back after.
    saved_pkg_config=$(export -p | grep -E '^(declare -x|export) PKG_CONFIG_(LIBDIR|PATH)=' || true)
    export PKG_CONFIG_LIBDIR="$PREFIX/lib/pkgconfig"
    export PKG_CONFIG_PATH=""
    failed=""
    for pair in $VERSIONS; do
        fetch "${pair%%=*}" "${pair#*=}" || failed="$failed ${pair%%=*}"
    done
    if [ -n "$failed" ]; then
        echo "The mirror did not give the sources of:$failed" >&2
        exit 1
    fi
    say "sources fetched"
    for pair in $VERSIONS; do
        s=${pair%%=*}
        v=${pair#*=}
        start=$(now)
        unpack "$s" "$v" "$WORK/$s"
        "build_$(echo "$s" | tr '.-' '__')" "$WORK/$s" "$v" || {
            echo "Building $s failed; its logs are in $WORK/" >&2
            exit 1
        }
        [ -f "$WORK/$s/debian/copyright" ] && cp "$WORK/$s/debian/copyright" "$PREFIX/licences/$s.txt"
        echo "$s $v $(($(now) - start)) s" >>"$PREFIX/build-times.txt"
        say "built $s $v in $(($(now) - start)) s"
    done
    build_windows_libs || {
        echo "Building $WINLIBS failed; its logs are in $WORK/" >&2
        exit 1
    }
    echo "$VERSIONS" >"$PREFIX/complete"
    rm -rf "$WORK"
    unset PKG_CONFIG_LIBDIR PKG_CONFIG_PATH
    eval "$saved_pkg_config"
else
    say "libraries already built (build-times.txt there tells how long they took)"
fi
[ "${VRILLON_WINDOWS_LIBS_ONLY:-0}" = 1 ] && exit 0
for pc in SDL_ttf SDL_gfx; do
    if [ ! -f "$PREFIX/lib/pkgconfig/$pc.pc" ]; then
        echo "The prefix has no $pc: $WINLIBS/ builds it (or put it into $PREFIX by hand)" >&2
        exit 1
    fi
done

# --- 4. the Wine prefix ---------------------------------------------------------------
# Made once per Wine version; the tests (tests/windows/wine.sh) run there.
WINEPREFIX="$CACHE/wineprefix"
export WINEPREFIX
WINE_VERSION=$(wine --version 2>/dev/null || echo none)
if [ "$(cat "$WINEPREFIX/vrillon-wine-version" 2>/dev/null)" != "$WINE_VERSION" ]; then
    say "preparing the Wine prefix $WINEPREFIX"
    rm -rf "$WINEPREFIX"
    # No Mono or Gecko to offer: the programs need neither.
    WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >/dev/null 2>&1 || true
    wineserver -w 2>/dev/null || true
    echo "$WINE_VERSION" >"$WINEPREFIX/vrillon-wine-version"
fi

# --- 5. the game -------------------------------------------------------------------------
say "native build (the run-time tree)"
VRILLON_BUILD_DIR=build $NICE scripts/setup.sh >/dev/null
say "cross build"
mkdir -p "$BUILD"
# The libraries found once are kept in CMake's cache: a new prefix starts it afresh.
if [ "$(cat "$BUILD/libraries.txt" 2>/dev/null)" != "$PREFIX" ]; then
    rm -rf "$BUILD/CMakeCache.txt" "$BUILD/CMakeFiles"
    echo "$PREFIX" >"$BUILD/libraries.txt"
fi
PKG_CONFIG_LIBDIR="$PREFIX/lib/pkgconfig" PKG_CONFIG_PATH="" $NICE cmake -S . -B "$BUILD" \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" -DCMAKE_PREFIX_PATH="$PREFIX" \
    -DCMAKE_BUILD_TYPE=Release -DVRILLON_HOST_BUILD="$ROOT/build" -DVRILLON_BENCH=ON \
    >"$BUILD/configure.log" 2>&1 || {
    cat "$BUILD/configure.log" >&2
    exit 1
}
$NICE cmake --build "$BUILD" -j "$JOBS" >"$BUILD/build.log" 2>&1 || {
    grep -E -B2 -A8 "error|Error" "$BUILD/build.log" | head -n 60 >&2
    echo "The cross build failed: $BUILD/build.log" >&2
    exit 1
}
say "game built"

# --- 6. the zip -----------------------------------------------------------------------------
# The game, the DLLs it loads (found through their imports), its run-time
# tree with fresh record files, Debian's freepats instruments for the MIDI
# song, the licences of everything in it and how to play.
say "packing"
ZIPDIR="$ROOT/$BUILD/zip"
ZIPROOT="$ZIPDIR/Vrillon"
rm -rf "$ZIPDIR"
mkdir -p "$ZIPROOT/licences" "$ZIPROOT/timidity"
cp "$BUILD/game/vrillon.exe" "$ZIPROOT/"
$HOST-strip "$ZIPROOT/vrillon.exe"
dlls_of() { $HOST-objdump -p "$1" | sed -n 's/^\tDLL Name: //p'; }
queue="$ZIPROOT/vrillon.exe"
while [ -n "$queue" ]; do
    next=""
    for f in $queue; do
        for d in $(dlls_of "$f"); do
            if [ -f "$PREFIX/bin/$d" ] && [ ! -f "$ZIPROOT/$d" ]; then
                cp "$PREFIX/bin/$d" "$ZIPROOT/"
                $HOST-strip "$ZIPROOT/$d"
                next="$next $ZIPROOT/$d"
            fi
        done
    done
    queue=$next
done
cp -r "$BUILD/game/pics" "$BUILD/game/sounds" "$BUILD/game/font" "$ZIPROOT/"
cp -r "$BUILD/templates/data" "$ZIPROOT/data"
cp -r /usr/share/midi/freepats "$ZIPROOT/timidity/freepats"
sed 's|^dir .*|dir timidity/freepats|' /etc/timidity/freepats.cfg >"$ZIPROOT/timidity/timidity.cfg"
cp LICENSE "$ZIPROOT/licences/vrillon.txt"
cp /usr/share/doc/freepats/copyright "$ZIPROOT/licences/freepats.txt"
for l in "$PREFIX"/licences/*.txt; do
    case $(basename "$l" .txt) in googletest | benchmark) continue ;; esac
    cp "$l" "$ZIPROOT/licences/"
done
cp "$ROOT/dist/windows/README.txt" "$ROOT/dist/windows/LISEZMOI.txt" "$ZIPROOT/"
# Windows' own editors want CR LF line ends.
for t in "$ZIPROOT"/*.txt "$ZIPROOT"/licences/*.txt; do sed -i 's/\r*$/\r/' "$t"; done
rm -f "$BUILD/vrillon-windows-x86_64.zip"
(cd "$ZIPDIR" && zip -qr -9 "$ROOT/$BUILD/vrillon-windows-x86_64.zip" Vrillon)
say "done: $BUILD/vrillon-windows-x86_64.zip ($(du -k "$BUILD/vrillon-windows-x86_64.zip" | cut -f1) KB)"
