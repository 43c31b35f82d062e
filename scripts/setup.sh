#!/bin/sh
# Installs what the build needs from Debian's packages (as root or through
# sudo), then configures and builds into build/. Used by play.sh and test.sh.
set -e
cd "$(dirname "$0")/.."

PACKAGES="build-essential cmake pkg-config git libsdl1.2-dev libsdl-ttf2.0-dev libsdl-gfx1.2-dev \
libsdl-mixer1.2-dev libmpg123-dev libmp3lame-dev libgtest-dev libgmock-dev libbenchmark-dev \
freepats fonts-comic-neue fonts-league-spartan fonts-open-sans"
if [ "${VRILLON_TEST_DEPS:-0}" = 1 ]; then
    PACKAGES="$PACKAGES xvfb xdotool imagemagick x11-utils clang clang-format libclang-rt-14-dev valgrind \
libsdl1.2-compat sox dpkg-dev debhelper lintian debootstrap appstream desktop-file-utils"
fi

missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done

if [ -n "$missing" ]; then
    if [ "$(id -u)" = 0 ]; then
        SUDO=""
    elif command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
        SUDO="sudo"
    else
        echo "Vrillon needs these Debian packages. Install them as root with:"
        echo "  apt-get update && apt-get install -y$missing"
        exit 1
    fi
    echo "Installing:$missing"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq $missing
fi

BUILD_DIR="${VRILLON_BUILD_DIR:-build}"
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo $VRILLON_CMAKE_ARGS >/dev/null
cmake --build "$BUILD_DIR" -j "$(nproc)"
