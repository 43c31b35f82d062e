#!/bin/sh
# test_install.sh CMAKE BUILD_DIR PROBE MAKE_ICON
#
# Installs the game into scratch prefixes and plays through the launcher as a
# player would, with a scratch HOME: the real game once, then a stand-in
# (PROBE) that reports what the launcher handed it. The scaling checks run
# under Xvfb when it, xdotool and sdl12-compat are present.
set -u
cmake=$1
build=$2
probe=$3
make_icon=$4
src=$(cd "$(dirname "$0")/../.." && pwd)
. "$(dirname "$0")/../support/x_display.sh"

tmp=$(readlink -f "$(mktemp -d)")
xvfb_pid=
game_pid=
# Each install rewrites the build's list of installed files, which a
# developer's own install may need for uninstalling: it is put back.
manifest=$build/install_manifest.txt
[ -e "$manifest" ] && cp "$manifest" "$tmp/manifest.saved"
cleanup() {
    [ -n "$game_pid" ] && kill -KILL "$game_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    if [ -e "$tmp/manifest.saved" ]; then
        cp "$tmp/manifest.saved" "$manifest"
    else
        rm -f "$manifest"
    fi
    chmod -R u+w "$tmp" 2>/dev/null
    rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 2' INT TERM

. "$(dirname "$0")/../support/checks.sh"
# private_xvfb LOG SCREEN: an X server of our own, its display in xvfb_display
# and its process in xvfb_pid. Every launch names its display itself, so the
# DISPLAY that start_xvfb exports is put back as it was.
private_xvfb() {
    had_display=${DISPLAY+set}
    saved_display=${DISPLAY-}
    start_xvfb "$1" "$2"
    started=$?
    xvfb_display=${DISPLAY-}
    if [ -n "$had_display" ]; then
        DISPLAY=$saved_display
    else
        unset DISPLAY
    fi
    [ $started = 0 ] || fail "Xvfb $2 did not start: $(cat "$1")"
    return $started
}

prefix=$tmp/usr
home=$tmp/home
mkdir -p "$home"
run_dir=$home/.local/share/vrillon

install_to() { # install_to PREFIX [DESTDIR]
    if ! DESTDIR=${2-} "$cmake" --install "$build" --prefix "$1" >"$tmp/install.log" 2>&1; then
        cat "$tmp/install.log"
        echo "FAIL: cmake --install --prefix $1"
        exit 1
    fi
}

# The launcher as a player starts it: scratch HOME, no XDG_DATA_HOME.
launch() { # launch LAUNCHER OUT [VAR=VALUE...]
    launcher=$1
    out=$2
    shift 2
    env -u XDG_DATA_HOME -u DISPLAY -u VRILLON_SCALE -u VRILLON_SDL12COMPAT \
        -u SDL12COMPAT_WINDOW_SCALING -u SDL12COMPAT_SCALE_METHOD HOME="$home" "$@" "$launcher" \
        >"$out" 2>&1
}

# Runs the real game through the launcher. Once the game is complete it waits
# in its menu for a player, so a game still running after a while has started
# fine and is stopped; one that ended must have ended well.
play_real_game() { # play_real_game LAUNCHER
    env -u XDG_DATA_HOME -u DISPLAY -u WAYLAND_DISPLAY HOME="$home" "$1" >"$tmp/game.out" 2>&1 &
    game_pid=$!
    n=0
    while kill -0 "$game_pid" 2>/dev/null && [ $n -lt 10 ]; do
        sleep 1
        n=$((n + 1))
    done
    if kill -0 "$game_pid" 2>/dev/null; then
        # SDL turns SIGTERM into a quit request, which the intro may swallow
        # before the menu exists: give it a moment, then kill it outright.
        kill "$game_pid"
        n=0
        while kill -0 "$game_pid" 2>/dev/null && [ $n -lt 30 ]; do
            sleep 0.1
            n=$((n + 1))
        done
        kill -KILL "$game_pid" 2>/dev/null
        wait "$game_pid" 2>/dev/null
    elif ! wait "$game_pid"; then
        cat "$tmp/game.out"
        fail "the game ended with an error"
    fi
    game_pid=
}

# --- What gets installed -------------------------------------------------
install_to "$prefix"
share=$(readlink -f "$prefix/share/vrillon")
for f in bin/vrillon libexec/vrillon/vrillon; do
    expect "$f is an installed program" test -x "$prefix/$f"
done
for f in share/vrillon/pics/pics.dat share/vrillon/pics/sonic.bmp share/vrillon/font/comic.ttf \
    share/vrillon/font/hackslsh.ttf share/vrillon/templates/data/control.dat \
    share/vrillon/templates/data/scores.dat share/vrillon/templates/data/hall.dat \
    share/applications/vrillon.desktop share/man/man6/vrillon.6 share/doc/vrillon/LICENSE \
    share/doc/vrillon/fonts/comic.LICENSE.txt share/doc/vrillon/fonts/hackslsh.LICENSE.txt; do
    expect "$f is installed" test -s "$prefix/$f"
done
# A developer's own records never go out with the game.
expect "only templates are installed" test ! -e "$share/data"

desktop=$prefix/share/applications/vrillon.desktop
expect "the desktop entry starts the launcher" has "$desktop" "Exec=\"$prefix/bin/vrillon\""
expect "the desktop entry is a game" has "$desktop" "Categories=Game;ArcadeGame;"
expect "the desktop entry names the icon" has "$desktop" "Icon=vrillon"
if command -v desktop-file-validate >/dev/null; then
    expect "desktop-file-validate accepts the entry" desktop-file-validate "$desktop"
fi
if command -v groff >/dev/null; then
    groff -man -ww -z "$prefix/share/man/man6/vrillon.6" >"$tmp/groff.log" 2>&1
    expect "the man page formats without warnings" test ! -s "$tmp/groff.log"
fi

if command -v identify >/dev/null; then
    for size in 32 64 128; do
        icon=$prefix/share/icons/hicolor/${size}x$size/apps/vrillon.png
        same "the ${size}px icon" "$(identify -regard-warnings -format '%m %wx%h' "$icon" 2>&1)" \
            "PNG ${size}x$size"
    done
    # Drawn when the window icon cannot be read: round, so its corner is clear.
    "$make_icon" "$tmp/no-such.bmp" 48 "$tmp/drawn.png" 2>"$tmp/icon.log"
    expect "a missing picture is reported" has "$tmp/icon.log" "drawing the icon instead"
    same "the drawn icon, clear in its corner" \
        "$(convert -regard-warnings "$tmp/drawn.png" -format '%m %wx%h %[fx:p{0,0}.a] %[fx:p{24,24}.a]' info: 2>&1)" \
        "PNG 48x48 0 1"
    # A 30px picture grows to 60 inside 64: a 2px clear border, its own colour inside.
    convert -size 30x30 xc:'rgb(200,40,10)' -type truecolor "BMP3:$tmp/small.bmp"
    "$make_icon" "$tmp/small.bmp" 64 "$tmp/small.png"
    same "a small picture is centred at twice its size" \
        "$(convert "$tmp/small.png" -format \
            '%[fx:p{1,1}.a] %[fx:255*p{2,2}.r],%[fx:255*p{2,2}.g],%[fx:255*p{2,2}.b] %[fx:p{61,61}.a] %[fx:p{62,62}.a]' \
            info:)" "0 200,40,10 1 0"
else
    echo "note: no ImageMagick, icon pictures not checked"
fi

# A staged install (for packaging) names the final prefix in the desktop entry.
install_to /opt/vrillon "$tmp/stage"
expect "a staged install lands under DESTDIR" test -x "$tmp/stage/opt/vrillon/bin/vrillon"
expect "a staged desktop entry names the final launcher" \
    has "$tmp/stage/opt/vrillon/share/applications/vrillon.desktop" 'Exec="/opt/vrillon/bin/vrillon"'

# --- Playing, changing a record, reinstalling -----------------------------
play_real_game "$prefix/bin/vrillon"
for part in pics sounds font; do
    same "$part links to the installed files" "$(readlink "$run_dir/$part")" "$share/$part"
done
for f in control scores hall; do
    expect "data/$f.dat starts from its template" cmp -s "$run_dir/data/$f.dat" \
        "$share/templates/data/$f.dat"
done

echo "1234.000000 99999.000000 99999.000000 99999.000000" >"$run_dir/data/scores.dat"
cp "$run_dir/data/scores.dat" "$tmp/scores.mine"
install_to "$prefix"
play_real_game "$prefix/bin/vrillon"
expect "a reinstall keeps the player's record" cmp -s "$run_dir/data/scores.dat" "$tmp/scores.mine"

# From here on the stand-in plays, from a second install: an upgrade moved
# elsewhere, which the refreshed links must follow.
prefix2=$tmp/usr2
install_to "$prefix2"
cp "$probe" "$prefix2/libexec/vrillon/vrillon"
launcher=$prefix2/bin/vrillon
launch "$launcher" "$tmp/out" VRILLON_SDL12COMPAT=no
expect "the launcher starts the game" has "$tmp/out" "ready 640x240"
expect "the game runs in the player's directory" has "$tmp/out" "cwd $run_dir"
expect "the game reads its font through the link" has "$tmp/out" "font ok"
expect "the game opens its records for update" has "$tmp/out" "records ok"
same "the links follow the new install" "$(readlink "$run_dir/pics")" \
    "$(readlink -f "$prefix2/share/vrillon/pics")"
expect "an upgrade keeps the player's record" cmp -s "$run_dir/data/scores.dat" "$tmp/scores.mine"

# Deleting a record file resets it; the others stay.
rm "$run_dir/data/hall.dat"
launch "$launcher" "$tmp/out" VRILLON_SDL12COMPAT=no
expect "a deleted record comes back from its template" cmp -s "$run_dir/data/hall.dat" \
    "$prefix2/share/vrillon/templates/data/hall.dat"
expect "a reset leaves the other records" cmp -s "$run_dir/data/scores.dat" "$tmp/scores.mine"

# Copies from read-only templates must still be writable by their player.
rm "$run_dir/data/control.dat"
chmod a-w "$prefix2/share/vrillon/templates/data/control.dat"
launch "$launcher" "$tmp/out" VRILLON_SDL12COMPAT=no
same "a copied record is writable" "$(stat -c %A "$run_dir/data/control.dat" | cut -c3)" w

# A real folder the player put in place of a link is theirs.
rm "$run_dir/font"
cp -R "$prefix2/share/vrillon/font" "$run_dir/font"
launch "$launcher" "$tmp/out" VRILLON_SDL12COMPAT=no
expect "the player's own folder is kept" test -d "$run_dir/font" -a ! -L "$run_dir/font"
expect "the player is told about their folder" has "$tmp/out" "using your own $run_dir/font"

# Started through a link, as from a games folder.
mkdir -p "$tmp/games"
ln -s "$launcher" "$tmp/games/vrillon"
launch "$tmp/games/vrillon" "$tmp/out" VRILLON_SDL12COMPAT=no
expect "the launcher works through a link" has "$tmp/out" "ready 640x240"

# XDG_DATA_HOME moves the directory; a relative one is ignored.
env XDG_DATA_HOME="$tmp/xdg" HOME="$home" VRILLON_SDL12COMPAT=no "$launcher" >"$tmp/out" 2>&1
expect "XDG_DATA_HOME holds the directory" has "$tmp/out" "cwd $tmp/xdg/vrillon"
(cd "$tmp" && env XDG_DATA_HOME=xdg-rel HOME="$home" VRILLON_SDL12COMPAT=no "$launcher") >"$tmp/out" 2>&1
expect "a relative XDG_DATA_HOME is ignored" has "$tmp/out" "cwd $run_dir"

# A directory that cannot be made: a clear message and status 1.
: >"$tmp/a-file"
env -u DISPLAY -u WAYLAND_DISPLAY XDG_DATA_HOME="$tmp/a-file/xdg" HOME="$home" "$launcher" >"$tmp/out" 2>&1
status=$?
expect "an unmakable directory gives status 1" test $status -eq 1
expect "an unmakable directory is explained" has "$tmp/out" "cannot create the game directory $tmp/a-file/xdg/vrillon"
expect "an unmakable directory starts no game" test -z "$(grep '^ready' "$tmp/out")"
if [ "$(id -u)" != 0 ]; then
    mkdir -p "$tmp/locked"
    chmod a-w "$tmp/locked"
    env -u DISPLAY -u WAYLAND_DISPLAY XDG_DATA_HOME="$tmp/locked" HOME="$home" "$launcher" >"$tmp/out" 2>&1
    expect "an unwritable XDG_DATA_HOME gives status 1" test $? -eq 1
    expect "an unwritable XDG_DATA_HOME is explained" has "$tmp/out" "cannot create the game directory"
fi
env -u XDG_DATA_HOME -u HOME -u DISPLAY -u WAYLAND_DISPLAY "$launcher" >"$tmp/out" 2>&1
expect "no HOME gives status 1" test $? -eq 1
# No display and no video driver named: SDL would fall back to one that shows
# nothing, and the game would run unseen.
env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER HOME="$home" "$launcher" >"$tmp/out" 2>&1
expect "no display gives status 1" test $? -eq 1
expect "no display is explained" has "$tmp/out" "no display: neither DISPLAY nor WAYLAND_DISPLAY is set"
expect "no display starts no game" test -z "$(grep '^ready' "$tmp/out")"

# --- For a desktop player: help, version, the output kept, failures shown --
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
env HOME="$home" "$launcher" --version >"$tmp/out" 2>&1
expect "--version succeeds" test $? -eq 0
same "--version tells the project's version" "$(cat "$tmp/out")" "vrillon $version"
env -u XDG_DATA_HOME -u XDG_STATE_HOME HOME="$home" "$launcher" --help >"$tmp/out" 2>&1
expect "--help succeeds" test $? -eq 0
for text in "Usage: vrillon" "$run_dir" "scores.dat" "$home/.local/state/vrillon/last-run.log" \
    XDG_DATA_HOME XDG_STATE_HOME VRILLON_SCALE VRILLON_SDL12COMPAT SDL_AUDIODRIVER=dummy zenity; do
    expect "--help tells $text" has "$tmp/out" "$text"
done
expect "--help starts no game" test -z "$(grep '^ready' "$tmp/out")"
env HOME="$home" "$launcher" --fast >"$tmp/out" 2>&1
expect "an unknown option gives status 2" test $? -eq 2
expect "an unknown option is explained" has "$tmp/out" "unknown option '--fast'"

launch "$launcher" "$tmp/out" VRILLON_SDL12COMPAT=no
state_log=$home/.local/state/vrillon/last-run.log
expect "the run's output is kept" has "$state_log" "ready 640x240"
expect "the run's output still reaches its caller" has "$tmp/out" "ready 640x240"
launch "$launcher" "$tmp/out" VRILLON_SDL12COMPAT=no XDG_STATE_HOME="$tmp/state"
expect "XDG_STATE_HOME holds the log" has "$tmp/state/vrillon/last-run.log" "cwd $run_dir"

# Stand-ins: a game that fails as the real one does without a sound device,
# and dialog programs that note what they were asked to show.
real_game=$tmp/real-game
cp "$prefix2/libexec/vrillon/vrillon" "$real_game"
game_file=$prefix2/libexec/vrillon/vrillon
printf '#!/bin/sh\necho long =4 octets\nprintf "INTRO / Erreur d%%sinitialisation du son" "'"'"'"\nexit 1\n' \
    >"$game_file"
dialogs=$tmp/dialogs
mkdir -p "$dialogs"
for d in zenity kdialog xmessage; do
    printf '#!/bin/sh\n{ echo "%s"; for a; do printf "%%s\\n" "$a"; done; cat; } >"%s/shown"\n' \
        "$d" "$tmp" >"$dialogs/$d"
    chmod +x "$dialogs/$d"
done
# fail_without_terminal [VAR=VALUE...]: the failing game as from a desktop
# menu, no terminal attached; the dialog shown, if any, in $tmp/shown.
fail_without_terminal() {
    rm -f "$tmp/shown"
    env -u WAYLAND_DISPLAY -u XDG_CURRENT_DESKTOP HOME="$home" DISPLAY=:77 PATH="$dialogs:$PATH" "$@" \
        "$launcher" </dev/null >"$tmp/out" 2>&1
}
fail_without_terminal
expect "a failed game's status is the launcher's" test $? -eq 1
expect "a failed game is shown in a dialog" has "$tmp/shown" "zenity"
expect "the dialog shows the game's last lines" has "$tmp/shown" "INTRO / Erreur d'initialisation du son"
expect "the dialog tells how to play silent" has "$tmp/shown" "SDL_AUDIODRIVER=dummy vrillon"
expect "the dialog names the log" has "$tmp/shown" "$state_log"
expect "the failed run is kept" has "$state_log" "INTRO / Erreur d'initialisation du son"
expect "the log tells the status" has "$state_log" "the game ended with exit status 1"
fail_without_terminal XDG_CURRENT_DESKTOP=KDE
expect "a KDE desktop gets kdialog" has "$tmp/shown" "kdialog"
rm "$dialogs/zenity" "$dialogs/kdialog"
fail_without_terminal
expect "xmessage serves when it is the only one" has "$tmp/shown" "xmessage"
fail_without_terminal DISPLAY=
expect "no desktop, no dialog" test ! -e "$tmp/shown"
# A log that cannot be written still leaves the dialog its lines.
fail_without_terminal XDG_STATE_HOME="$tmp/a-file/state"
expect "no log: still status 1" test $? -eq 1
expect "no log: the dialog shows the game's last lines" has "$tmp/shown" "INTRO / Erreur d'initialisation du son"
expect "no log: the dialog tells how to play silent" has "$tmp/shown" "SDL_AUDIODRIVER=dummy vrillon"
fail_without_terminal XDG_STATE_HOME="$tmp/a-file/state" XDG_DATA_HOME="$tmp/a-file/xdg"
expect "no log: the launcher's own failure is shown" has "$tmp/shown" "cannot create the game directory"
# With no dialog program at all: only the tools the launcher needs.
bare=$tmp/bare-bin
mkdir -p "$bare"
for c in sh readlink dirname mkdir ln cp chmod sed awk cat head tail tr grep mktemp mkfifo tee rm \
    setpriv stdbuf ldd; do
    c=$(command -v "$c") && ln -sf "$c" "$bare/"
done
fail_without_terminal PATH="$bare"
expect "no dialog program: still status 1" test $? -eq 1
expect "no dialog program, no dialog" test ! -e "$tmp/shown"
# In a terminal, which script makes, where it can: a root without /dev/pts
# mounted has none to give.
if ! command -v script >/dev/null; then
    echo "note: no script command, the checks in a terminal are skipped"
elif ! script -qec 'test -t 0 && test -t 1' /dev/null </dev/null >"$tmp/script.log" 2>&1; then
    echo "note: script cannot open a terminal here, the checks in a terminal are skipped: $(head -c 200 "$tmp/script.log")"
else
    rm -f "$tmp/shown"
    env HOME="$home" DISPLAY=:77 PATH="$dialogs:$PATH" script -qec "$launcher" /dev/null \
        </dev/null >"$tmp/out" 2>&1
    expect "in a terminal the failure is printed" has "$tmp/out" "Erreur d'initialisation du son"
    expect "in a terminal, no dialog" test ! -e "$tmp/shown"
fi
# A real dialog on a real X server: xmessage, the one dialog the test tools
# bring, comes up with the game's last lines and goes away with Return.
if command -v Xvfb >/dev/null && command -v xwininfo >/dev/null && command -v xdotool >/dev/null &&
    command -v xmessage >/dev/null && private_xvfb "$tmp/dialog-xvfb.log" 800x600x24; then
    dialog_display=$xvfb_display
    ln -sf "$(command -v xmessage)" "$bare/xmessage"
    env HOME="$home" DISPLAY="$dialog_display" PATH="$bare" "$launcher" </dev/null >"$tmp/out" 2>&1 &
    game_pid=$!
    window=
    n=0
    until [ -n "$window" ] || [ $n -ge 100 ]; do
        sleep 0.1
        window=$(DISPLAY=$dialog_display xdotool search --name '^Vrillon$' 2>/dev/null | head -n 1)
        n=$((n + 1))
    done
    expect "xmessage shows the failure on the X server" test -n "$window"
    [ -n "$window" ] && DISPLAY=$dialog_display xdotool key --window "$window" Return 2>/dev/null
    n=0
    while kill -0 $game_pid 2>/dev/null && [ $n -lt 50 ]; do
        sleep 0.1
        n=$((n + 1))
    done
    if kill -0 $game_pid 2>/dev/null; then
        fail "the launcher waits on after its dialog is closed"
        kill $game_pid
    fi
    wait $game_pid
    expect "after the dialog, the launcher ends with the game's status" test $? -eq 1
    game_pid=
    rm -f "$bare/xmessage"
    kill $xvfb_pid
    wait $xvfb_pid 2>/dev/null
    xvfb_pid=
fi
# The launcher's own failures are shown too.
env HOME="$home" XDG_DATA_HOME="$tmp/a-file/xdg" DISPLAY=:77 PATH="$dialogs:$PATH" "$launcher" \
    </dev/null >"$tmp/out" 2>&1
expect "the launcher's own failure is shown" has "$tmp/shown" "cannot create the game directory"

# A stop asked of the launcher reaches the game, and is no failure to show;
# a launcher killed outright takes the game with it.
printf '#!/bin/sh\necho $$ >"%s/game.pid"\nexec sleep 60\n' "$tmp" >"$game_file"
for sig in TERM KILL; do
    rm -f "$tmp/game.pid" "$tmp/shown"
    env HOME="$home" DISPLAY=:77 PATH="$dialogs:$PATH" "$launcher" </dev/null >"$tmp/out" 2>&1 &
    game_pid=$!
    n=0
    until [ -s "$tmp/game.pid" ] || [ $n -ge 100 ]; do
        sleep 0.1
        n=$((n + 1))
    done
    kill -$sig $game_pid
    wait $game_pid
    game_pid=
    inner=$(cat "$tmp/game.pid")
    n=0
    while kill -0 "$inner" 2>/dev/null && [ $n -lt 50 ]; do
        sleep 0.1
        n=$((n + 1))
    done
    expect "SIG$sig to the launcher ends the game" test -n "$inner" -a ! -d "/proc/$inner"
    expect "SIG$sig shows no dialog" test ! -e "$tmp/shown"
done
cp "$real_game" "$game_file"

# --- sdl12-compat and the window scale ------------------------------------
launch "$launcher" "$tmp/out" VRILLON_SDL12COMPAT=no VRILLON_SCALE=2
expect "the classic library is used on request" has "$tmp/out" "sdl 1.2.15"
expect "the classic library gets no scaling" has "$tmp/out" "env SDL12COMPAT_WINDOW_SCALING="
expect "a scale without sdl12-compat is explained" has "$tmp/out" "VRILLON_SCALE needs sdl12-compat"

compat=
for lib in /usr/lib/*/sdl12-compat/libSDL-1.2.so.0; do
    [ -e "$lib" ] && compat=$(dirname "$lib")
done
if [ -z "$compat" ]; then
    echo "note: sdl12-compat is not installed, scaling not checked"
else
    # Fake screen tools report the screen; the game itself runs headless.
    fake=$tmp/fake-bin
    mkdir -p "$fake"
    printf '#!/bin/sh\n[ -s "$0.txt" ] && cat "$0.txt"\n' >"$fake/xrandr"
    cp "$fake/xrandr" "$fake/xdpyinfo"
    chmod +x "$fake/xrandr" "$fake/xdpyinfo"
    scale_with() { # scale_with XRANDR_OUTPUT XDPYINFO_OUTPUT [VAR=VALUE...]: prints the scaling
        printf '%s' "$1" >"$fake/xrandr.txt"
        printf '%s' "$2" >"$fake/xdpyinfo.txt"
        shift 2
        launch "$launcher" "$tmp/out" PATH="$fake:$PATH" DISPLAY=:99 "$@"
        sed -n 's/^env SDL12COMPAT_WINDOW_SCALING=//p' "$tmp/out"
    }
    two_monitors="HDMI-1 connected 1920x1080+0+0 (normal) 530mm x 300mm
DP-1 connected primary 2560x1440+1920+0 (normal) 600mm x 340mm
DP-2 disconnected (normal left inverted right x axis y axis)"
    same "the primary monitor sets the scale" "$(scale_with "$two_monitors" '')" 3
    same "else the smallest monitor" \
        "$(scale_with "HDMI-1 connected 1366x768+0+0 (normal)
DP-1 connected 3840x2160+1366+0 (normal)" '')" 2
    same "xdpyinfo serves without xrandr" \
        "$(scale_with '' '  dimensions:    1920x1080 pixels (508x285 millimeters)')" 2
    same "a screen too small stays at 1" \
        "$(scale_with '' '  dimensions:    1280x720 pixels (508x285 millimeters)')" 1
    same "VRILLON_SCALE wins" "$(scale_with "$two_monitors" '' VRILLON_SCALE=5)" 5
    same "VRILLON_SCALE=1 turns scaling off" "$(scale_with "$two_monitors" '' VRILLON_SCALE=1)" 1
    same "a bad VRILLON_SCALE is ignored" \
        "$(scale_with "$two_monitors" '' VRILLON_SCALE=two)" 3
    expect "a bad VRILLON_SCALE is explained" has "$tmp/out" "VRILLON_SCALE must be a whole number"
    same "VRILLON_SCALE=0 is refused" "$(scale_with "$two_monitors" '' VRILLON_SCALE=0)" 3
    same "the player's own SDL12COMPAT_WINDOW_SCALING stands" \
        "$(scale_with "$two_monitors" '' SDL12COMPAT_WINDOW_SCALING=1.5)" 1.5
    same "the game runs on sdl12-compat" "$(readlink -f \
        "$(sed -n 's/^env LD_LIBRARY_PATH=\([^:]*\).*/\1/p' "$tmp/out")")" "$(readlink -f "$compat")"
    expect "sdl12-compat is loaded" grep -qE '^sdl 1\.2\.([5-9][0-9]|[1-9][0-9]{2,})$' "$tmp/out"
    expect "pixels stay square" has "$tmp/out" "env SDL12COMPAT_SCALE_METHOD=nearest"

    # ./play.sh chooses as the launcher does, for the game it builds: here a
    # copy of the source tree's play.sh whose build step does nothing and
    # whose game is the stand-in.
    play=$tmp/play
    mkdir -p "$play/scripts" "$play/dist" "$play/build/game/data"
    cp "$src/play.sh" "$play/"
    cp "$src/dist/sdl_runtime.sh" "$play/dist/"
    printf '#!/bin/sh\n' >"$play/scripts/setup.sh"
    chmod +x "$play/scripts/setup.sh"
    cp "$probe" "$play/build/game/vrillon"
    printf '%s' "$two_monitors" >"$fake/xrandr.txt"
    : >"$fake/xdpyinfo.txt"
    env -u VRILLON_SCALE -u VRILLON_SDL12COMPAT -u SDL12COMPAT_WINDOW_SCALING -u SDL12COMPAT_SCALE_METHOD \
        PATH="$fake:$PATH" DISPLAY=:99 "$play/play.sh" >"$tmp/out" 2>&1
    expect "./play.sh starts the game in its tree" has "$tmp/out" "cwd $play/build/game"
    same "./play.sh scales as the launcher does" \
        "$(sed -n 's/^env SDL12COMPAT_WINDOW_SCALING=//p' "$tmp/out")" 3
    expect "./play.sh runs the game on sdl12-compat" grep -qE '^sdl 1\.2\.([5-9][0-9]|[1-9][0-9]{2,})$' "$tmp/out"
    expect "./play.sh keeps the pixels square" has "$tmp/out" "env SDL12COMPAT_SCALE_METHOD=nearest"
    env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER "$play/play.sh" >"$tmp/out" 2>&1
    expect "./play.sh without a display gives status 1" test $? -eq 1
    expect "./play.sh without a display says so" has "$tmp/out" "no display"

    # A real X server: measure the window and look at its pixels.
    if ! command -v Xvfb >/dev/null || ! command -v xwininfo >/dev/null || ! command -v xdotool >/dev/null; then
        echo "note: no Xvfb, xwininfo or xdotool, the window size is not measured"
    elif private_xvfb "$tmp/xvfb.log" 1920x1080x24; then
        display=$xvfb_display
        # window_after VAR=VALUE...: the game window's size, "WxH", started
        # by the launcher (or by RUN); with SHOT set, a picture of the window.
        window_after() {
            rm -f "$tmp/xout" # the game's redirection may come after the first look
            env -u XDG_DATA_HOME -u SDL_VIDEODRIVER -u VRILLON_SCALE -u VRILLON_SDL12COMPAT \
                -u SDL12COMPAT_WINDOW_SCALING -u SDL12COMPAT_SCALE_METHOD HOME="$home" \
                DISPLAY="$display" PROBE_SECONDS=60 "$@" "${RUN:-$launcher}" >"$tmp/xout" 2>&1 &
            game_pid=$!
            n=0
            until grep -q '^ready' "$tmp/xout" || [ $n -ge 300 ] || ! kill -0 $game_pid 2>/dev/null; do
                sleep 0.1
                n=$((n + 1))
            done
            window=$(DISPLAY=$display xdotool search --name '^Vrillon$' 2>/dev/null | head -n 1)
            if [ -n "$window" ]; then
                sleep 0.5 # the first frame reaches the X server after "ready"
                DISPLAY=$display xdotool getwindowgeometry "$window" | sed -n 's/^ *Geometry: //p'
                [ -n "${SHOT-}" ] && DISPLAY=$display import -window "$window" "$SHOT" 2>/dev/null
            fi
            kill $game_pid 2>/dev/null
            wait $game_pid 2>/dev/null
            game_pid=
            # The server drops the window a little after its client is gone.
            n=0
            while DISPLAY=$display xdotool search --name '^Vrillon$' >/dev/null 2>&1 && [ $n -lt 100 ]; do
                sleep 0.1
                n=$((n + 1))
            done
        }
        same "the window fits a 1920x1080 screen at scale 2" "$(window_after)" 1280x480
        same "./play.sh's window fits the screen at scale 2" "$(RUN=$play/play.sh window_after)" 1280x480
        same "VRILLON_SCALE=1 keeps the window at 640x240" "$(window_after VRILLON_SCALE=1)" 640x240
        SHOT=$tmp/shot.png
        same "VRILLON_SCALE=3 makes a 1920x720 window" "$(window_after VRILLON_SCALE=3)" 1920x720
        SHOT=
        if command -v convert >/dev/null; then
            # The pattern's checkerboard rows (y 176 to 239), scaled 3 times:
            # still two colours only.
            same "scaling keeps sharp pixels" \
                "$(convert "$tmp/shot.png" -crop 1920x180+0+534 -format %k info: 2>&1)" 2
        fi
    fi
fi

if [ $failures -ne 0 ]; then
    echo "$failures install check(s) failed"
    exit 1
fi
echo "all install checks passed"
