#!/bin/sh
# test_package.sh SOURCE_DIR BUILD_DIR
#
# Builds the Debian package from the source tree (the headless tests run in
# the build unless DEB_BUILD_OPTIONS says nocheck), checks it with lintian,
# installs it with apt into a throwaway Debian 12 root (debootstrap
# --variant=minbase, kept under BUILD_DIR/package-test between runs), starts
# the installed game there with the desktop entry's command under Xvfb as far
# as the main menu, makes it fail for want of a sound device with no terminal
# attached and sees the dialog, then removes the package and checks that none
# of its files is left. Needs root (chroot), the packaging tools and a Debian
# mirror (VRILLON_DEBIAN_MIRROR, else the first one apt uses); skipped with
# status 77 without them.
set -eu
src=$(readlink -f "$1")
build=$(readlink -f "$2")
work=$build/package-test
cache=$work/bookworm-minbase
root=$work/root
suite=bookworm
. "$(dirname "$0")/../support/x_display.sh"

skip() {
    echo "SKIP: $*"
    exit 77
}
[ "$(id -u)" = 0 ] || skip "installing into a throwaway root needs chroot, and so root"
for tool in dpkg-buildpackage dh lintian debootstrap chroot Xvfb xwininfo xdotool import; do
    command -v $tool >/dev/null 2>&1 ||
        skip "$tool is missing (Debian packages dpkg-dev debhelper lintian debootstrap xvfb x11-utils xdotool imagemagick)"
done
(cd "$src" && dpkg-checkbuilddeps) >/dev/null 2>&1 || skip "the build dependencies are not installed: $(cd "$src" && dpkg-checkbuilddeps 2>&1)"

mirror=${VRILLON_DEBIAN_MIRROR:-}
if [ -z "$mirror" ]; then
    mirror=$(cat /etc/apt/sources.list.d/*.sources 2>/dev/null |
        sed -n 's#^URIs:[[:space:]]*\(https\{0,1\}://[^[:space:]]*/debian\)/\{0,1\}$#\1#p' | head -n 1)
fi
if [ -z "$mirror" ]; then
    mirror=$(sed -n 's#^deb[[:space:]]\{1,\}\(\[[^]]*\][[:space:]]\{1,\}\)\{0,1\}\(https\{0,1\}://[^[:space:]]*/debian\)/\{0,1\}[[:space:]].*#\2#p' \
        /etc/apt/sources.list 2>/dev/null | head -n 1)
fi
mirror=${mirror:-http://deb.debian.org/debian}

mkdir -p "$work"
xvfb_pid=
game_pid=
cleanup() {
    status=$?
    [ -n "$game_pid" ] && kill -KILL "$game_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    for m in proc dev; do
        mountpoint -q "$root/$m" 2>/dev/null && umount -l "$root/$m"
    done
    # Never remove a root that still has something mounted in it.
    if ! grep -q " $root/" /proc/mounts; then
        rm -rf "$root"
    else
        echo "note: $root still has mounts; left in place"
    fi
    exit $status
}
trap cleanup EXIT
trap 'exit 2' INT TERM

. "$(dirname "$0")/../support/checks.sh"

# --- Build and lintian ----------------------------------------------------
version=$(sed -n '1s/^vrillon (\([^)]*\)).*/\1/p' "$src/debian/changelog")
rm -rf "$work/src"
mkdir -p "$work/src/vrillon-$version"
(cd "$src" && tar --exclude=./build --exclude='./build-*' --exclude=./.git --exclude='./obj-*' \
    --exclude=./debian/vrillon --exclude=./debian/.debhelper -cf - .) |
    tar -C "$work/src/vrillon-$version" -xf -
echo "building the package (log: $work/build.log)"
if ! (cd "$work/src/vrillon-$version" &&
    DEB_BUILD_OPTIONS="${DEB_BUILD_OPTIONS:-parallel=$(nproc)}" dpkg-buildpackage -us -uc -b) \
    >"$work/build.log" 2>&1; then
    tail -n 60 "$work/build.log"
    echo "FAIL: dpkg-buildpackage -us -uc -b"
    exit 1
fi
deb=$work/src/vrillon_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || { echo "FAIL: no $deb"; exit 1; }
cp "$deb" "$work/"
deb=$work/${deb##*/}

lintian --tag-display-limit 0 "$work"/src/vrillon_*.changes >"$work/lintian.log" 2>&1 || true
grep -v '^running with root privileges' "$work/lintian.log" || true
expect "lintian reports no error" test -z "$(grep '^E:' "$work/lintian.log")"

# --- A throwaway Debian 12 root -------------------------------------------
if [ ! -x "$cache/usr/bin/apt-get" ]; then
    wget -q -T 20 -t 2 --spider "$mirror/dists/$suite/Release" 2>/dev/null ||
        skip "the Debian mirror $mirror cannot be reached (VRILLON_DEBIAN_MIRROR names another)"
    echo "making a minimal $suite root in $cache (log: $work/debootstrap.log)"
    rm -rf "$cache.tmp"
    if ! debootstrap --variant=minbase "$suite" "$cache.tmp" "$mirror" >"$work/debootstrap.log" 2>&1; then
        tail -n 20 "$work/debootstrap.log"
        rm -rf "$cache.tmp"
        skip "debootstrap could not make a $suite root from $mirror"
    fi
    mv "$cache.tmp" "$cache"
fi
rm -rf "$root"
cp -a "$cache" "$root"
mount -t proc proc "$root/proc"
[ -c "$root/dev/null" ] || mount --bind /dev "$root/dev"
cp /etc/resolv.conf "$root/etc/resolv.conf"
in_root() { chroot "$root" env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    HOME=/root LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive "$@"; }
if ! in_root apt-get update >"$work/apt.log" 2>&1; then
    tail -n 20 "$work/apt.log"
    skip "apt-get update in the throwaway root could not reach $mirror"
fi

# --- Install --------------------------------------------------------------
cp "$deb" "$root/tmp/"
if ! in_root apt-get install -y "/tmp/${deb##*/}" >>"$work/apt.log" 2>&1; then
    tail -n 30 "$work/apt.log"
    echo "FAIL: apt-get install ./${deb##*/}"
    exit 1
fi
expect "apt installs the package" in_root dpkg -s vrillon >/dev/null
expect "apt installs sdl12-compat, recommended" in_root dpkg -s libsdl1.2-compat >/dev/null
expect "apt installs freepats for the song" test -f "$root/etc/timidity/freepats.cfg"
for f in comic hackslsh; do
    expect "the font $f.ttf resolves to an installed font" test -s "$root/usr/share/vrillon/font/$f.ttf"
done
exec_line=$(sed -n 's/^Exec=//p' "$root/usr/share/applications/vrillon.desktop")
command=$(printf '%s\n' "$exec_line" | sed 's/^"\(.*\)"$/\1/')
expect "the desktop entry's command is installed" test -x "$root$command"
in_root "$command" --version >"$work/version.out" 2>&1 || true
expect "vrillon --version tells $version" has "$work/version.out" "vrillon $version"

# --- Play as far as the main menu under Xvfb ------------------------------
# The X server runs outside the root; its abstract socket is reachable from it.
if ! start_xvfb "$work/xvfb.log"; then
    cat "$work/xvfb.log"
    echo "FAIL: Xvfb did not start"
    exit 1
fi
display=$DISPLAY
# The desktop entry's command, as a player starts it: no terminal attached.
player_env="PATH=/usr/local/bin:/usr/bin:/bin:/usr/games HOME=/home/player LANG=C.UTF-8 DISPLAY=$display"
mkdir -p "$root/home/player"
# shellcheck disable=SC2086 # the environment is words
chroot "$root" env -i $player_env SDL_AUDIODRIVER=dummy "$command" </dev/null >"$work/game.out" 2>&1 &
game_pid=$! # chroot, then env, run in its place: the launcher itself
# Escape skips the intro (its full-screen window has no title yet); the
# menu's window is the game's, "Vrillon", 640x240. The pointer over the
# screen gives the keys to whatever window is there.
window=
geometry=
n=0
while [ "$geometry" != 640x240 ] && [ $n -lt 150 ] && kill -0 "$game_pid" 2>/dev/null; do
    sleep 0.4
    DISPLAY=$display xdotool mousemove 320 120 key Escape 2>/dev/null || true
    window=$(DISPLAY=$display xdotool search --name '^Vrillon$' 2>/dev/null | tail -n 1)
    [ -n "$window" ] && geometry=$(DISPLAY=$display xdotool getwindowgeometry "$window" 2>/dev/null |
        sed -n 's/^ *Geometry: //p')
    n=$((n + 1))
done
expect "the main menu's 640x240 window comes up" test "$geometry" = 640x240
sleep 1
rm -f "$work/menu.png"
[ -n "$window" ] && DISPLAY=$display import -window "$window" "$work/menu.png" 2>/dev/null || true
colours=$(convert "$work/menu.png" -format %k info: 2>/dev/null || echo 0)
expect "the menu is drawn (a picture of it: $work/menu.png)" test "$colours" -gt 8
expect "the game got past its start-up" has "$work/game.out" "long =4 octets"
kill "$game_pid" 2>/dev/null || true
n=0
while kill -0 "$game_pid" 2>/dev/null && [ $n -lt 50 ]; do
    sleep 0.1
    n=$((n + 1))
done
kill -KILL "$game_pid" 2>/dev/null || true
wait "$game_pid" 2>/dev/null || true
game_pid=
log=$root/home/player/.local/state/vrillon/last-run.log
expect "the run's output is kept in ~/.local/state/vrillon/last-run.log" has "$log" "long =4 octets"
expect "the records are the player's" test -s "$root/home/player/.local/share/vrillon/data/hall.dat"

# --- No sound device, no terminal: a dialog -------------------------------
# A stand-in zenity notes what it is asked to show.
printf '#!/bin/sh\nprintf "%%s\\n" "$@" >/tmp/dialog-shown\n' >"$root/usr/local/bin/zenity"
chmod +x "$root/usr/local/bin/zenity"
rm -f "$root/tmp/dialog-shown"
status=0
# shellcheck disable=SC2086
chroot "$root" env -i $player_env "$command" </dev/null >"$work/fail.out" 2>&1 || status=$?
expect "without a sound device the game fails (status $status)" test "$status" -ne 0
expect "the failure is shown in a dialog" test -s "$root/tmp/dialog-shown"
if [ -s "$root/tmp/dialog-shown" ]; then
    expect "the dialog tells the failure" has "$root/tmp/dialog-shown" "Vrillon stopped with an error"
    expect "the dialog shows the game's message" has "$root/tmp/dialog-shown" "INTRO / "
    sed 's/^/  dialog: /' "$root/tmp/dialog-shown"
fi
rm -f "$root/usr/local/bin/zenity"

# --- Remove ---------------------------------------------------------------
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sed 's,^\./,/,' >"$work/files"
expect "apt removes the package" in_root apt-get remove -y vrillon >>"$work/apt.log" 2>&1
left=
while read -r f; do
    if [ -e "$root$f" ] || [ -L "$root$f" ]; then left="$left $f"; fi
done <"$work/files"
expect "no file of the package is left:$left" test -z "$left"
for d in /usr/share/vrillon /usr/libexec/vrillon; do
    expect "$d is gone" test ! -e "$root$d"
done

if [ $failures -ne 0 ]; then
    echo "$failures package check(s) failed"
    exit 1
fi
echo "all package checks passed ($(grep -c '^[WI]:' "$work/lintian.log" || true) lintian warnings or notes)"
