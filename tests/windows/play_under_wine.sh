#!/bin/bash
# play_under_wine.sh ZIP PICS_TOOL [SCENARIO...]
#
# The Windows zip as a player has it: unzipped into a folder whose name holds
# a space and an accent, vrillon.exe started under Wine on an X server of its
# own (Xvfb, 1920 x 1080, as a common screen), played with xdotool. Each
# scenario unzips afresh:
#   race    the intro skipped, the window enlarged (2 x on this screen) and
#           sharp, full screen and back with F1, the controls screen and the
#           hall of fame, a one-player race to the finish with mario, his MIDI
#           end song heard, the new record saved, Left-Alt+F4: status 0.
#   fatal   a sound, the MIDI song, the font, a record file or the picture
#           archive missing, each in turn: the game's exact message at the
#           end of stdout.txt beside it, status 1.
#   readonly  the game's folder read-only, as under Program Files: the race
#           scenario played again, its records and stdout.txt now in
#           %APPDATA%\Vrillon, the game's folder left as unzipped. Root
#           makes the folder read-only with a read-only bind mount (Wine run
#           by root writes anywhere else); others with chmod. Skipped where
#           neither can be done.
#   logoff  the user logging off (the messages Windows sends the game's
#           window, from end_session.exe beside the zip in tests/windows),
#           at the menu and again during a race's countdown (the game started
#           in another folder, as a shortcut may): the game ends as on a
#           termination signal, status 0, the records as they were.
# PICS_TOOL (the building machine's) extracts the menu picture the window
# is compared with. A failed scenario keeps its screenshots and output in
# play-under-wine-artifacts/SCENARIO in the working directory;
# VRILLON_WINE_KEEP=1 keeps them for passing scenarios too.
# Exit status: 0 all passed, 1 a failure, 77 skipped (no Wine or X tools, or
# every scenario asked skipped).
set -u
if [ $# -lt 2 ]; then
    echo "usage: play_under_wine.sh ZIP PICS_TOOL [race|fatal|logoff|readonly...]" >&2
    exit 2
fi
zip=$(realpath "$1")
pics_tool=$2
shift 2
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../support/x_display.sh"
scenarios=${*:-race fatal logoff}
end_session=$(dirname "$zip")/tests/windows/end_session.exe
artifacts=$(pwd)/play-under-wine-artifacts

for tool in wine Xvfb xdotool import xwininfo unzip compare; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "SKIP: $tool is not installed"
        exit 77
    fi
done
[ -f "$zip" ] || {
    echo "FAIL: no zip at $zip (scripts/build-windows.sh makes it)"
    exit 1
}
export WINEPREFIX=${WINEPREFIX:-${VRILLON_WINDOWS_CACHE:-/var/cache/vrillon-windows}/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
# No sound card in a test machine: SDL's dummy sound driver stands in.
export SDL_AUDIODRIVER=dummy
# Wine programs started without a display (the other tests) leave the
# prefix's desktop without one while they run: the game could not open its
# window. This test runs alone (ctest's RUN_SERIAL); it waits for those to end.
wineserver -w 2>/dev/null

tmp=$(mktemp -d "${TMPDIR:-/tmp}/vrillon-wine.XXXXXX") || exit 1
xvfb_pid=
game_pid=
mounted=
cleanup() {
    [ -n "$game_pid" ] && kill -KILL "$game_pid" 2>/dev/null
    wineserver -k 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
    writable_again
    rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 2' INT TERM
if ! start_xvfb "$tmp/xvfb.log" 1920x1080x24; then
    cat "$tmp/xvfb.log"
    echo "FAIL: no X server could be started"
    exit 1
fi
# One Wine server, with this display, for every program of the test: a server
# that ends between two of them can leave the next one waiting for minutes
# while the prefix starts again.
wineserver -p 2>/dev/null
"$pics_tool" extract "$(dirname "$zip")/game/pics/pics.dat" "$tmp/pics" >/dev/null || {
    echo "FAIL: cannot extract the game's pictures"
    exit 1
}

failed=0
scenario=
folder=
# Where the game writes its records and stdout.txt: its own folder, or
# %APPDATA%\Vrillon where that one is read-only.
records=
fail() {
    echo "FAIL [$scenario]: $*"
    failed=1
    return 1
}
note() { echo "  [$scenario] $*"; }
now_ms() { date +%s%3N; }

# poll WHAT SECONDS COMMAND...: COMMAND until it succeeds, ten times a second.
poll() {
    local what=$1 limit=$2 end
    shift 2
    end=$(($(now_ms) + limit * 1000))
    until "$@" >"$tmp/last_check.txt" 2>&1; do
        if [ "$(now_ms)" -ge "$end" ]; then
            fail "$what: not seen within ${limit}s ($(tail -n 3 "$tmp/last_check.txt" | tr '\n' ' '))"
            return 1
        fi
        sleep 0.1
    done
}

unzip_afresh() {
    folder="$tmp/Jeux d'été $scenario"
    rm -rf "$folder"
    mkdir -p "$folder" && unzip -q "$zip" -d "$folder" || fail "cannot unzip $zip"
    records=$folder/Vrillon
}
# The game's sound goes to audio.raw (SDL's disk driver; a 23 ms buffer and
# 21 ms of sleep keep it close to real time), named as Wine names the file.
# START_IN names the folder it is started in (a shortcut's own; by default
# the game's, as a double click does).
start_game() {
    rm -f "$tmp/audio.raw"
    (cd "${START_IN:-$folder/Vrillon}" && SDL_AUDIODRIVER=disk SDL_DISKAUDIODELAY=21 \
        SDL_DISKAUDIOFILE="Z:$(printf '%s' "$tmp/audio.raw" | tr / '\\')" \
        exec wine "$folder/Vrillon/vrillon.exe") \
        >"$tmp/wine.log" 2>&1 &
    game_pid=$!
}
# mario_runs: player 1 runs mario, whose end sound is the MIDI song.
mario_runs() {
    sed -i '1s/.*/1 0 2 3/' "$folder/Vrillon/data/control.dat"
}
# song_peak BYTE: the loudest sample recorded from BYTE on (16-bit stereo).
song_peak() {
    tail -c +$(($1 + 1)) "$tmp/audio.raw" | od -An -v -td2 -w2 |
        awk '{ v = $1 < 0 ? -$1 : $1; if (v > m) m = v } END { print m + 0 }'
}
# The game's status once it has ended by itself.
ends_with() {
    local want=$1 limit=$2 status
    poll "the game's end" "$limit" not_running || return 1
    wait "$game_pid" 2>/dev/null
    status=$?
    game_pid=
    [ "$status" = "$want" ] || fail "exit status: expected $want, seen $status"
}
not_running() { ! kill -0 "$game_pid" 2>/dev/null; }

game_window() { xdotool search --name '^Vrillon$' 2>/dev/null | tail -n 1; }
# The intro's window has no caption yet: the game's full-screen one.
intro_shown() { xwininfo -root -children 2>/dev/null | grep '"vrillon.exe"' | grep -q ' 1920x1080+0+0 '; }
skip_intro() {
    xdotool mousemove 960 540 && xdotool key Escape
}
window_size() { xdotool getwindowgeometry "$(game_window)" 2>/dev/null | sed -n 's/^ *Geometry: //p'; }
size_is() {
    window_size
    [ "$(window_size)" = "$1" ]
}
# The pointer over the game, so that XTEST's keys and clicks reach it.
keys() {
    xdotool mousemove --window "$(game_window)" 100 100 && xdotool key --delay 60 "$@"
}
printed() { tr -d '\r' <"$records/stdout.txt" 2>/dev/null | grep -qF -- "$1"; }
shot() { # shot NAME [root]: the game's window (or the whole screen) as PNG
    if [ "${2:-}" = root ]; then
        import -silent -window root "$tmp/$1.png"
    else
        import -silent -window "$(game_window)" "$tmp/$1.png"
    fi
}
# sharp FILE N: every N x N block of the picture is of one colour, as a
# picture enlarged by N with its pixels kept square is.
sharp() {
    local w h
    w=$(identify -format '%w' "$1")
    h=$(identify -format '%h' "$1")
    convert "$1" -sample "$((w / $2))x$((h / $2))!" -sample "${w}x${h}!" "$tmp/resampled.png" &&
        [ "$(compare -metric AE "$1" "$tmp/resampled.png" null: 2>&1)" = 0 ]
}
# same_corner FILE N X Y [PICTURE [PART]]: the picture, shrunk by N, shows at
# X, Y the PART (a geometry in the 640 x 240 frame; by default the top-left
# 100 x 20 corner) of the archive's PICTURE (by default 00, the menu's), a
# part nothing is drawn over.
same_corner() {
    convert "$1" -crop "$((640 * $2))x$((240 * $2))+$3+$4" +repage -sample 640x240! \
        -crop "${6:-100x20+0+0}" +repage "$tmp/corner.png" &&
        convert "$tmp/pics/${5:-00}.bmp" -crop "${6:-100x20+0+0}" +repage "$tmp/corner_want.png" &&
        [ "$(compare -metric AE "$tmp/corner.png" "$tmp/corner_want.png" null: 2>&1)" = 0 ]
}
keep_artifacts() {
    rm -rf "${artifacts:?}/$scenario"
    mkdir -p "$artifacts/$scenario"
    cp "$tmp"/*.png "$tmp/wine.log" "$tmp/end_session.txt" "$records/stdout.txt" \
        "$records/stderr.txt" "$artifacts/$scenario/" 2>/dev/null
    cp -r "$records/data" "$artifacts/$scenario/" 2>/dev/null
    echo "what it left is in $artifacts/$scenario"
}

scenario_race() {
    unzip_afresh || return 1
    mario_runs
    play_a_record
}
# The game started from $folder/Vrillon, its records in $records.
play_a_record() {
    local before_scores before_hall finish_at peak
    for f in vrillon.exe SDL.dll README.txt LISEZMOI.txt pics/pics.dat sounds/start.wav \
        font/comic.ttf data/scores.dat timidity/timidity.cfg licences/vrillon.txt; do
        [ -f "$folder/Vrillon/$f" ] || fail "the zip has no Vrillon/$f" || return 1
    done
    # As unzipped: the records' folder starts with copies of these.
    before_scores=$(cat "$folder/Vrillon/data/scores.dat")
    before_hall=$(cat "$folder/Vrillon/data/hall.dat")
    start_game
    # The intro: full screen at the desktop's own size.
    poll "the intro's full-screen window" 90 intro_shown || return 1
    sleep 1
    skip_intro
    poll "the start-up trace after the intro" 15 printed "long =4 octets" || return 1
    poll "the menu's window, enlarged twice" 15 size_is 1280x480 || return 1
    sleep 1
    shot menu
    sharp "$tmp/menu.png" 2 || fail "the enlarged window is not sharp: 2 x 2 blocks differ" || return 1
    same_corner "$tmp/menu.png" 2 0 0 || fail "the menu picture's corner differs" || return 1
    note "the menu: 1280x480, sharp, the menu picture in place"

    keys F1
    poll "full screen after F1" 10 size_is 1920x1080 || return 1
    sleep 1
    shot fullscreen root
    # 3 x 640 x 240 is 1920 x 720, centred: black bands of 180 above and below.
    sharp "$tmp/fullscreen.png" 3 || fail "the full screen is not sharp: 3 x 3 blocks differ" || return 1
    same_corner "$tmp/fullscreen.png" 3 0 180 || fail "the full screen's frame is not centred" ||
        return 1
    [ "$(convert "$tmp/fullscreen.png" -crop 1920x180+0+0 -format '%[fx:maxima]' info:)" = 0 ] ||
        fail "the band above the full screen's frame is not black" || return 1
    note "full screen: 1920x1080, the frame 3 x and centred on black"
    keys F1
    poll "the window again after F1" 10 size_is 1280x480 || return 1

    # The controls screen (picture 01) and the hall of fame (02, whose
    # entries cover all but its right-hand panel), each left with Escape.
    keys F2
    poll "the controls screen" 10 screen_shows controls 01 || return 1
    keys Escape
    poll "the menu after the controls" 10 screen_shows menu_again 00 || return 1
    keys F3
    poll "the hall of fame" 10 screen_shows hall 02 80x240+560+0 || return 1
    keys Escape
    poll "the menu after the hall of fame" 10 screen_shows menu_again 00 || return 1
    note "the controls screen and the hall of fame shown, each left with Escape"

    keys Return
    poll "the race loads its board" 15 printed "taille fichier  16 relue" || return 1
    sleep 5 # the countdown, where a click would be a false start
    poll "the finish, clicking" 60 click_until_finish "$before_scores" || return 1
    finish_at=$(stat -c %s "$tmp/audio.raw" 2>/dev/null || echo 0)
    shot race_end
    # Mario's end sound, the MIDI song, played through the instruments the
    # zip carries: heard from the finish on.
    sleep 2
    peak=$(song_peak "$finish_at")
    [ "$peak" -gt 1000 ] || fail "the end song is not heard: peak $peak after the finish" || return 1
    note "the end song heard: peak $peak after the finish"
    note "best times now: $(cat "$records/data/scores.dat")"
    sleep 1
    keys Escape
    sleep 2
    keys Return
    poll "the new record in data/hall.dat" 10 hall_changed "$before_hall" || return 1
    note "hall of fame now begins: $(head -n 1 "$records/data/hall.dat")"
    sleep 1
    keys alt+F4
    ends_with 0 15 || return 1
    [ "$(head -c 16 "$records/stdout.txt")" = "long =4 octets$(printf '\r\n')" ] ||
        fail "stdout.txt does not begin with the start-up trace" || return 1
}
# screen_shows NAME PICTURE [PART]: the window, sharp, shows that picture's
# corner (or PART, as same_corner takes it).
screen_shows() {
    shot "$1" && sharp "$tmp/$1.png" 2 && same_corner "$tmp/$1.png" 2 0 0 "$2" "${3:-100x20+0+0}"
}
click_until_finish() {
    xdotool mousemove --window "$(game_window)" 100 100 && xdotool click --repeat 20 --delay 25 1
    [ -f "$records/data/scores.dat" ] && [ "$(cat "$records/data/scores.dat")" != "$1" ]
}
hall_changed() { [ -f "$records/data/hall.dat" ] && [ "$(cat "$records/data/hall.dat")" != "$1" ]; }

# FILE|MESSAGE: the file removed, and the game's message (a printf format;
# its \n is a line end, which Windows' text mode writes as CR LF) that must
# end stdout.txt: a sound, the MIDI song, the font (the Windows build's own
# SDL_ttf's words), a record file and the picture archive.
fatal_paths='sounds/start.wav|Erreur lors du chargement de start.wav
sounds/mario_end.mid|Erreur lors du chargement de mario_end.mid\n
font/comic.ttf|Erreur de chargement de la police font/comic.ttf : Couldn'"'"'t open font/comic.ttf\n
data/control.dat|Erreur de chargement du fichier de control
pics/pics.dat|Erreur de chargement du terrain : ouverture de pics/pics.dat impossible\n'
scenario_fatal() {
    local file message size
    while IFS='|' read -r file message; do
        unzip_afresh || return 1
        rm "$folder/Vrillon/$file"
        # The start-up trace's line end, then the message.
        printf "\r\n$message" | sed -z 's/\([^\r]\)\n/\1\r\n/g' >"$tmp/want.txt"
        start_game
        poll "the intro's full-screen window" 90 intro_shown || return 1
        sleep 1
        skip_intro
        ends_with 1 20 || return 1
        size=$(stat -c %s "$tmp/want.txt")
        tail -c "$size" "$records/stdout.txt" >"$tmp/seen.txt"
        cmp -s "$tmp/seen.txt" "$tmp/want.txt" ||
            fail "without $file, stdout.txt ends with '$(od -c "$tmp/seen.txt" | head -n 3)'" || return 1
        note "without $file: status 1, stdout.txt ends with $(printf "$message" | head -n 1)"
    done <<EOF_PATHS
$fatal_paths
EOF_PATHS
}

# read_only FOLDER: FOLDER and all it holds can no longer be written, by
# Wine either; 77 where that cannot be done here.
read_only() {
    if [ "$(id -u)" != 0 ]; then
        chmod -R a-w "$1" && mounted=chmod:$1
        return
    fi
    mount --bind "$1" "$1" 2>"$tmp/mount.txt" || return 77
    mounted=mount:$1
    mount -o remount,bind,ro "$1" 2>>"$tmp/mount.txt" || return 77
}
writable_again() {
    case $mounted in
    chmod:*) chmod -R u+w "${mounted#chmod:}" ;;
    mount:*) umount "${mounted#mount:}" || umount -l "${mounted#mount:}" ;;
    esac
    mounted=
}

scenario_readonly() {
    local game_files status
    unzip_afresh || return 1
    mario_runs
    game_files=$(cd "$folder/Vrillon" && find . -type f -exec md5sum {} + | sort)
    read_only "$folder/Vrillon"
    status=$?
    if [ $status != 0 ]; then
        writable_again
        [ $status = 77 ] || fail "cannot make the game's folder read-only" || return 1
        echo "SKIP [$scenario]: the game's folder cannot be made read-only here ($(head -n 1 "$tmp/mount.txt" 2>/dev/null))"
        return 77
    fi
    if touch "$folder/Vrillon/data/write-test" 2>/dev/null; then
        fail "the game's folder is still writable"
        return 1
    fi
    # Wine's %APPDATA% for this user, emptied of an earlier run's records.
    records=$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Vrillon
    rm -rf "$records"
    play_a_record || return 1
    [ "$(cd "$folder/Vrillon" && find . -type f -exec md5sum {} + | sort)" = "$game_files" ] ||
        fail "the read-only game folder changed" || return 1
    for f in pics/pics.dat sounds/start.wav font/comic.ttf timidity.cfg; do
        [ -f "$records/$f" ] || fail "%APPDATA%\\Vrillon has no $f" || return 1
    done
    note "records and stdout.txt in %APPDATA%\\Vrillon, the game's folder unchanged"
    writable_again
}

# log_off: end_session.exe sends the game's window what a log-off sends.
log_off() {
    [ -f "$end_session" ] || fail "no $end_session (the Windows build makes it)" || return 1
    wine "$end_session" >"$tmp/end_session.txt" 2>&1 ||
        fail "end_session.exe: $(tr -d '\r' <"$tmp/end_session.txt" | tr '\n' ' ')" || return 1
    note "$(tr -d '\r' <"$tmp/end_session.txt" | tr '\n' ' ')"
}
# The game started, its intro skipped, its menu shown.
start_to_menu() {
    start_game
    poll "the intro's full-screen window" 90 intro_shown || return 1
    sleep 1
    skip_intro
    poll "the menu's window" 15 size_is 1280x480 || return 1
    sleep 1
}
scenario_logoff() {
    local before
    unzip_afresh || return 1
    # The menu saves the controls as it starts a race: the best times and the
    # hall of fame are the records a log-off must leave alone.
    before=$(cd "$records/data" && md5sum scores.dat hall.dat)
    start_to_menu || return 1
    log_off || return 1
    ends_with 0 15 || return 1
    note "at the menu: ended, status 0"

    # Started from a shortcut whose working folder is another: the game
    # still plays from its own, where its output goes.
    START_IN=$tmp start_to_menu || return 1
    keys Return
    poll "the race loads its board" 15 printed "taille fichier  16 relue" || return 1
    log_off || return 1
    ends_with 0 15 || return 1
    [ "$(cd "$records/data" && md5sum scores.dat hall.dat)" = "$before" ] ||
        fail "the records changed" || return 1
    note "during the countdown: ended, status 0, the best times and hall as they were"
}

skipped=0
ran=0
for scenario in $scenarios; do
    echo "scenario $scenario"
    before=$failed
    failed=0
    ran=$((ran + 1))
    "scenario_$scenario"
    outcome=$?
    if [ $outcome = 77 ] && [ $failed = 0 ]; then
        skipped=$((skipped + 1))
    elif [ $outcome != 0 ] || [ $failed = 1 ]; then
        failed=1
        keep_artifacts
        [ -n "$game_pid" ] && kill -KILL "$game_pid" 2>/dev/null
        game_pid=
    else
        echo "scenario $scenario: passed"
        [ "${VRILLON_WINE_KEEP:-0}" = 1 ] && keep_artifacts
    fi
    [ $before = 1 ] && failed=1
done
[ $failed = 0 ] && [ $skipped -gt 0 ] && [ $skipped = $ran ] && exit 77
exit $failed
