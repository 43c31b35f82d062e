#!/bin/bash
# run_e2e.sh RUNTIME BUILD_DIR PROBE PICS_TOOL [SCENARIO...]
#
# End-to-end scenarios: the built game (BUILD_DIR/game/vrillon) in an X server
# of its own (Xvfb), played with xdotool as a player plays it, each scenario in
# a fresh copy of the run-time tree. RUNTIME is "classic" (Debian's SDL 1.2)
# or "compat" (sdl12-compat over SDL 2, found the way the launcher finds it).
#
# Every wait polls for what the game shows, prints, writes or plays, within a
# time limit. The screen checks compare pixels at the places the game fixes
# with the game's own pictures (extracted from pics.dat with PICS_TOOL) and
# with texts rendered as the game renders them (PROBE). The sound goes to a
# file through SDL's disk audio driver, in the mixer's format (44100 Hz,
# 16-bit, stereo), and PROBE names each sound it finds there.
#
# A failed scenario keeps its screenshots, standard output and error, and its
# recorded sound in BUILD_DIR/e2e-artifacts/RUNTIME-SCENARIO/, and the runner
# says which check failed with what it expected and what it saw.
# VRILLON_E2E_KEEP=1 keeps them for passing scenarios too.
# Exit status: 0 all passed, 1 a failure, 77 skipped (no X tools or runtime).
set -u

if [ $# -lt 4 ]; then
    echo "usage: run_e2e.sh classic|compat BUILD_DIR PROBE PICS_TOOL [SCENARIO...]" >&2
    exit 2
fi
runtime=$1
build=$(cd "$2" && pwd) || exit 2
probe=$3
pics_tool=$4
shift 4
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../support/x_display.sh"
all_scenarios="startup race_1p race_2p_false_start controls quits missing_sound"
scenarios=${*:-$all_scenarios}

skip() {
    echo "SKIP: $*"
    exit 77
}
for tool in Xvfb xdotool import xwininfo stdbuf ldd; do
    command -v "$tool" >/dev/null 2>&1 || skip "$tool is not installed (scripts/setup.sh lists the test packages)"
done
game=$build/game/vrillon
if [ ! -x "$game" ] || [ ! -x "$probe" ] || [ ! -x "$pics_tool" ]; then
    echo "FAIL: build the game, $probe and $pics_tool first"
    exit 1
fi

# --- Which SDL 1.2 ------------------------------------------------------------
use_sdl_runtime "$runtime" "$game" run_e2e.sh

x_test_begin vrillon-e2e

pics=$tmp/pics
"$pics_tool" extract "$build/game/pics/pics.dat" "$pics" >/dev/null || {
    echo "FAIL: cannot extract the game's pictures"
    exit 1
}
pic() { printf '%s/%02d.bmp' "$pics" "$1"; }
# The controls screen's background, for reading single pixels.
convert "$(pic 1)" -depth 8 "ppm:$pics/01.ppm" || exit 1

# --- Scenario bookkeeping -------------------------------------------------------
scenario=
sdir=
tree=
failed=0
check_no=0

fail() {
    echo "FAIL [$runtime/$scenario]: $*"
    if [ -s "$sdir/last_check.txt" ]; then
        sed 's/^/    seen: /' "$sdir/last_check.txt" | head -n 20
    fi
    failed=1
    return 1
}
note() { echo "  [$runtime/$scenario] $*"; }

now_ms() { echo $(($(date +%s%N) / 1000000)); }

game_running() {
    [ -n "$game_pid" ] || return 1
    kill -0 "$game_pid" 2>/dev/null || return 1
    ! grep -q ') Z ' "/proc/$game_pid/stat" 2>/dev/null
}

# poll WHAT SECONDS COMMAND...: runs COMMAND until it succeeds, ten times a
# second; fails when the time is up or the game has ended meanwhile.
poll() {
    local what=$1 limit=$2 end
    shift 2
    end=$(($(now_ms) + limit * 1000))
    while :; do
        if "$@" >"$sdir/last_check.txt" 2>&1; then
            return 0
        fi
        if ! game_running && [ "${expect_exit:-0}" = 0 ]; then
            fail "$what: the game ended first$(game_status_text)"
            return 1
        fi
        if [ "$(now_ms)" -ge "$end" ]; then
            fail "$what: not seen within ${limit}s"
            return 1
        fi
        sleep 0.1
    done
}

# check WHAT COMMAND...: one look, no waiting.
check() {
    local what=$1
    shift
    "$@" >"$sdir/last_check.txt" 2>&1 || fail "$what"
}

game_status_text() {
    local status
    [ -n "$game_pid" ] || return 0
    wait "$game_pid" 2>/dev/null
    status=$?
    game_pid=
    printf ' (status %s; last output: %s)' "$status" "$(tail -c 200 "$sdir/stdout.txt" | tr '\n' '|')"
}

# The game's window once it has its caption, or the intro's 640 x 480 area.
game_window() { xdotool search --name '^Vrillon$' 2>/dev/null | tail -n 1; }
# xwininfo lists the windows from the top of the stack down: the first
# 640x480 one is the one seen (the classic SDL keeps an unused one below).
intro_area() { # prints "X Y" of the 640x480 intro picture on the screen
    xwininfo -root -tree 2>/dev/null |
        sed -n 's/.* 640x480+-\{0,1\}[0-9]*+-\{0,1\}[0-9]*  +\([0-9]*\)+\([0-9]*\)$/\1 \2/p' | head -n 1
}

# next_shot NAME: names $shot, where the next looks at the game window (or
# the intro's picture) go as PPM files. A check keeps one file, its last
# look, numbered in the order of the checks.
next_shot() {
    check_no=$((check_no + 1))
    shot=$(printf '%s/shots/%03d-%s.ppm' "$sdir" "$check_no" "$1")
}
grab_window() {
    local w
    w=$(game_window)
    [ -n "$w" ] || {
        echo "no window named Vrillon"
        return 1
    }
    import -silent -window "$w" -depth 8 "ppm:$shot" 2>/dev/null
}
grab_intro() {
    local at
    at=$(intro_area)
    [ -n "$at" ] || {
        echo "no 640x480 picture on the screen"
        return 1
    }
    set -- $at
    import -silent -window root -crop "640x480+$1+$2" +repage -depth 8 "ppm:$shot" 2>/dev/null
}
# see WHAT SECONDS CHECK...: polls the game window until CHECK passes on it.
see() {
    local what=$1 limit=$2
    shift 2
    next_shot "$(echo "$what" | tr -c 'a-zA-Z0-9\n' '-' | cut -c1-40)"
    poll "$what" "$limit" look grab_window "$@"
}
see_intro() {
    local what=$1 limit=$2
    shift 2
    next_shot "$(echo "$what" | tr -c 'a-zA-Z0-9\n' '-' | cut -c1-40)"
    poll "$what" "$limit" look grab_intro "$@"
}
look() {
    local grab=$1
    shift
    "$grab" || return 1
    "$@"
}

# The pointer over the game, so that XTEST's keys and clicks reach it.
point_at_game() {
    local w at
    w=$(game_window)
    if [ -n "$w" ]; then
        xdotool mousemove --window "$w" 320 120
        return
    fi
    at=$(intro_area)
    [ -n "$at" ] || return 1
    set -- $at
    xdotool mousemove $(($1 + 320)) $(($2 + 240))
}
keys() { point_at_game && xdotool key --delay 60 "$@"; }

# --- What the game shows --------------------------------------------------------
font() { echo "$tree/font/comic.ttf"; }
# text X Y SIZE bold|plain R G B TEXT: the text as the game renders it, in its font.
text() { "$probe" text "$shot" "$1" "$2" "$(font)" "$3" "$4" "$5" "$6" "$7" "$8"; }
picture() { "$probe" picture "$shot" "$@"; }
seconds3() { awk -v t="$1" 'BEGIN { printf "%.3f", t / 1000 }'; }
# The hints the game adds where nothing else is drawn, in Latin-1 as it renders them.
continue_hint() { text centre 92 20 bold 0 0 0 "$(printf '\311chap : continuer')"; }
keys_hint() {
    text centre 222 15 plain 255 255 255 \
        "$(printf 'Haut/Bas : lettre   Gauche/Droite : curseur   Entr\351e : enregistrer')"
}
# Where the race hint goes, bare terrain while the race is on (no scrolling yet).
no_continue_hint() { picture 220 92 "$(pic 3)" 220 92 200 24; }

menu_shown() { # the menu's heading, the arrow on row 1 and nothing on rows 2-4
    picture 0 0 "$(pic 0)" 0 0 640 40 &&
        picture 60 50 "$(pic 18)" keyed &&
        picture 60 85 "$(pic 0)" 60 85 40 100
}
menu_best_times() { # the four best times of data/scores.dat, white, at x 505
    local i t
    for i in 0 1 2 3; do
        t=$(awk -v i=$((i + 1)) '{ print $i }' "$tree/data/scores.dat")
        text 505 $((45 + 35 * i)) 20 plain 255 255 255 "$(seconds3 "$t")" || return 1
    done
}
intro_trail() { # the dot's first line: white at y 400 from x 0 to 99, black around
    local x
    for x in 0 33 66 98; do
        [ "$("$probe" pixel "$shot" $x 400)" = "255 255 255" ] || {
            echo "pixel ($x, 400): $("$probe" pixel "$shot" $x 400), expected white"
            return 1
        }
    done
    [ "$("$probe" pixel "$shot" 50 396)" = "0 0 0" ] && [ "$("$probe" pixel "$shot" 300 470)" = "0 0 0" ]
}
intro_started() { # the dot's first place, (0, 400)
    local seen
    seen=$("$probe" pixel "$shot" 0 400)
    echo "pixel (0, 400): $seen, expected white"
    [ "$seen" = "255 255 255" ]
}
countdown_digit() { # one of the countdown's digits at (20, 10)
    local d
    for d in 5 4 3 2 1; do
        text 20 10 20 bold 0 0 0 "$d" >/dev/null && {
            echo "countdown shows $d"
            return 0
        }
    done
    echo "no countdown digit at (20, 10)"
    return 1
}
early_countdown() { # a digit a second or more before "GO!"
    local seen
    seen=$(countdown_digit)
    echo "$seen"
    case $seen in *"shows "[432]) return 0 ;; esac
    return 1
}
explosion_at() { # one of the explosion strip's seven frames at (X, Y)
    local k
    for k in 0 1 2 3 4 5 6; do
        picture "$1" "$2" "$(pic 15)" $((31 * k)) 0 30 30 keyed >/dev/null && return 0
    done
    echo "no explosion frame at ($1, $2)"
    return 1
}
# The finish mark of the first finisher, once the view has scrolled to the
# end (400 pixels): portrait at terrain x 410, time at 445.
finish_mark() { # finish_mark CHARACTER TIME_MS
    picture 10 0 "$(pic $((7 + $1)))" && text 45 0 20 bold 0 0 0 "$(seconds3 "$2")"
}
chrono_hidden() { # the terrain where the chronometer stood (x 260, y 30)
    picture 260 30 "$(pic 3)" 660 30 120 30
}
# controls_bar ROW red|green: the bar's tint at x 620 on ROW, the bare
# background on the other rows.
controls_bar() {
    local row=$1 colour=$2 r y bg seen
    for r in 0 1 2 3; do
        y=$((60 + 35 * r))
        seen=$("$probe" pixel "$shot" 620 $y)
        if [ $r = "$row" ]; then
            bg=$("$probe" pixel "$pics/01.ppm" 620 $y)
            set -- $seen
            local sr=$1 sg=$2
            set -- $bg
            if [ "$colour" = red ] && [ "$sr" -ge $(($1 + 40)) ] && [ "$sg" -le "$2" ]; then continue; fi
            if [ "$colour" = green ] && [ "$sg" -ge $(($2 + 40)) ] && [ "$sr" -le "$1" ]; then continue; fi
            echo "row $((r + 1)) at (620, $y): $seen, expected a $colour tint over $bg"
            return 1
        fi
        picture 620 $y "$(pic 1)" 620 $y 1 1 >/dev/null || {
            echo "row $((r + 1)) at (620, $y): $seen, expected the bare background"
            return 1
        }
    done
}
hall_rows() { # every row of data/hall.dat on the hall-of-fame screen
    local r=0 name time character x0 y
    while read -r name time character; do
        x0=$((r < 5 ? 0 : 275))
        y=$((46 * (r % 5)))
        picture $((x0 + 30)) $y "$(pic $((7 + character)))" >/dev/null &&
            text $((x0 + 90)) $y 20 bold 255 255 255 "$name" >/dev/null &&
            text $((x0 + 150)) $y 20 bold 255 255 255 "$(seconds3 "$time")" >/dev/null || {
            echo "rank $r ($name $time $character) not shown at ($((x0 + 30)), $y)"
            return 1
        }
        r=$((r + 1))
    done <"$tree/data/hall.dat"
    [ $r = 10 ] || echo "data/hall.dat holds $r lines"
}

# --- What the game prints, writes and plays ---------------------------------------
# printed TEXT [COUNT]: standard output holds COUNT lines with TEXT (at least 1).
printed() { [ "$(grep -cF -- "$1" "$sdir/stdout.txt")" -ge "${2:-1}" ]; }
# same_file WHAT FILE EXPECTED: the file holds exactly EXPECTED.
same_file() {
    if printf '%s' "$3" | cmp -s - "$2"; then return 0; fi
    echo "expected: $(printf '%s' "$3" | od -An -c | tr -s ' ' | head -c 300)"
    echo "seen:     $(od -An -c "$2" | tr -s ' ' | head -c 300)"
    return 1
}
score_of() { awk -v i=$(($1 + 1)) '{ print $i }' "$tree/data/scores.dat"; }
# hall_line NAME TIME CHARACTER: a line as the hall file stores it.
hall_line() {
    awk -v n="$1" -v t="$2" -v c="$3" 'BEGIN {
        if (t >= 10000) printf "%s %f %d\n", n, t, c; else printf "%s 0%f %d\n", n, t, c }'
}
sounds_heard() {
    local s=$tree/sounds
    "$probe" sounds "$sdir/audio.raw" ding="$s/ding.wav" start="$s/start.wav" \
        fatality="$s/fatality.mp3" sonic_end="$s/sonic_end.wav" road_end="$s/road_end.mp3" \
        shrek_end="$s/shrek_end.wav" applause="$s/applause.wav"
}
# sound_levels: the recording's peak and RMS, whole and while each sound plays;
# fails when the mix reached full scale (clipped).
sound_levels() {
    local s=$tree/sounds
    "$probe" levels "$sdir/audio.raw" ding="$s/ding.wav" start="$s/start.wav" \
        fatality="$s/fatality.mp3" sonic_end="$s/sonic_end.wav" road_end="$s/road_end.mp3" \
        shrek_end="$s/shrek_end.wav" applause="$s/applause.wav" electric="$s/electric.wav" \
        >"$sdir/levels.txt"
    local status=$?
    cat "$sdir/levels.txt"
    return $status
}
# countdown_sounds: four dings and the start signal about a second apart.
countdown_sounds() {
    sounds_heard >"$sdir/sounds.txt" || return 1
    cat "$sdir/sounds.txt"
    awk '$2 == "ding" || $2 == "start" { print }' "$sdir/sounds.txt" | awk '
        { name[NR] = $2; at[NR] = $1 }
        END {
            if (NR < 5) { print "heard " NR " countdown sounds, expected 5"; exit 1 }
            for (i = 1; i <= 5; i++) {
                want = i < 5 ? "ding" : "start"
                if (name[i] != want) { print "sound " i " is " name[i] ", expected " want; exit 1 }
                if (i > 1 && (at[i] - at[i-1] < 750 || at[i] - at[i-1] > 1350)) {
                    print "sound " i " comes " at[i] - at[i-1] " ms after the one before, expected about 1000"
                    exit 1
                }
            }
        }'
}
# heard NAME [AFTER]: NAME among the sounds, after the sound AFTER if given.
heard() {
    sounds_heard >"$sdir/sounds.txt" || return 1
    cat "$sdir/sounds.txt"
    awk -v want="$1" -v after="${2:-}" '
        after == "" || $2 == after { armed = 1 }
        armed && $2 == want { found = 1 }
        END { exit found ? 0 : 1 }' "$sdir/sounds.txt"
}

# --- Starting and ending the game -----------------------------------------------------
# The disk driver writes a mixer buffer (1024 frames, 23.2 ms) and then
# sleeps SDL_DISKAUDIODELAY ms: 21 keeps the recording close to real time
# even when the machine is busy, so the countdown's second shows as one.
start_game() {
    (cd "$tree" && exec env -u SDL_VIDEODRIVER DISPLAY="$DISPLAY" SDL_AUDIODRIVER=disk \
        SDL_DISKAUDIOFILE="$sdir/audio.raw" SDL_DISKAUDIODELAY=21 \
        ${lib_path:+LD_LIBRARY_PATH="$lib_path${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}"} \
        stdbuf -oL ./vrillon) >"$sdir/stdout.txt" 2>"$sdir/stderr.txt" &
    game_pid=$!
    poll "the intro's 640x480 picture" 15 intro_area_present || return 1
    # The runtime asked for is the one loaded: sdl12-compat's file is
    # libSDL-1.2.so.1.2.N, the classic library's libSDL-1.2.so.0.N.
    if [ "$runtime" = compat ]; then
        check "the game runs on sdl12-compat" grep -q 'libSDL-1\.2\.so\.1\.2\.' "/proc/$game_pid/maps"
    else
        check "the game runs on the classic SDL 1.2" grep -q 'libSDL-1\.2\.so\.0\.' "/proc/$game_pid/maps"
    fi
}
intro_area_present() { [ -n "$(intro_area)" ] || [ -n "$(game_window)" ]; }

# Skips the intro with Escape once it runs, and waits for the main menu.
to_menu() {
    see_intro "the intro's first frame" 15 intro_started || return 1
    keys Escape || return 1
    poll "the start-up trace after the intro" 15 printed "long =4 octets" || return 1
    see "the main menu" 15 menu_shown
}

# ends_with STATUS SECONDS: the game ends by itself with that status.
ends_with() {
    local want=$1 limit=$2 status
    expect_exit=1 poll "the game's end" "$limit" not_running || return 1
    wait "$game_pid" 2>/dev/null
    status=$?
    game_pid=
    echo "$status" >"$sdir/last_check.txt"
    [ "$status" = "$want" ] || fail "exit status: expected $want, seen $status"
}
not_running() { ! game_running; }
# A window close as a window manager asks for it: WM_DELETE_WINDOW, which
# SDL makes a quit request. (xdotool windowclose destroys the window instead:
# the classic SDL then runs on without one; windowkill kills the client.)
close_window() {
    local w
    w=$(game_window)
    [ -n "$w" ] && "$probe" close "$w"
}

# race_started N: the N-th race has loaded its board and terrain.
race_started() { printed "taille fichier  16 relue" "$1"; }
# Hammers the left button, in bursts, until data/scores.dat changes.
click_until_finish() {
    point_at_game && xdotool click --repeat 20 --delay 25 1
    ! cmp -s "$tree/data/scores.dat" "$sdir/scores.before"
}

# A copy of the run-time tree with the record files as the game ships them:
# games played in build/game stay out of the tests.
fresh_tree() {
    rm -rf "$tree"
    cp -r "$build/game" "$tree" && rm -rf "$tree/data" && cp -r "$build/templates/data" "$tree/data"
}

# --- Scenarios --------------------------------------------------------------------------
scenario_startup() {
    # Distinct best times, so each row is seen to show its own.
    printf '12345.000000 99999.000000 8250.000000 61000.000000' >"$tree/data/scores.dat"
    start_game || return 1
    see_intro "the intro's dot trail at y 400" 15 intro_trail || return 1
    to_menu || return 1
    check "the window is 640x240" window_size_is 640x240 || return 1
    check "the four best times at x 505" menu_best_times || return 1
    keys alt+F4
    ends_with 0 10
}
window_size_is() {
    local size
    size=$(xdotool getwindowgeometry "$(game_window)" | sed -n 's/^ *Geometry: //p')
    echo "window $size"
    [ "$size" = "$1" ]
}

scenario_race_1p() {
    local hall_before t line expected i
    hall_before=$(cat "$tree/data/hall.dat")
    cp "$tree/data/scores.dat" "$sdir/scores.before"
    start_game && to_menu || return 1
    keys Return
    poll "the race loads its board" 10 race_started 1 || return 1
    see "the countdown digit at (20, 10)" 10 countdown_digit || return 1
    check "sonic's runner at its start (59, 61)" picture 59 61 "$(pic 11)" 0 0 25 27 keyed || return 1
    check "no runner in mario's lane" picture 64 91 "$(pic 3)" 64 91 20 28 || return 1
    check "no Escape hint while the race is on" no_continue_hint || return 1
    see "GO! at (20, 10)" 10 text 20 10 20 bold 0 0 0 "GO!" || return 1
    poll "sonic's finish, clicking" 60 click_until_finish || return 1
    t=$(score_of 0)
    check "data/scores.dat holds sonic's new time" same_file scores "$tree/data/scores.dat" \
        "$(printf '%s 99999.000000 99999.000000 99999.000000' "$t")" || return 1
    note "sonic finished in $t ms"
    see "the finish mark: portrait at 410, time at 445 of the terrain" 5 finish_mark 0 "$t" || return 1
    check "no chronometer once the race is complete" chrono_hidden || return 1
    check "the hint that Escape goes on" continue_hint || return 1
    poll "the countdown's dings and start in the audio" 10 countdown_sounds || return 1
    poll "sonic's end sound in the audio" 10 heard sonic_end start || return 1

    keys Escape
    see "the new record screen's rank line" 10 text 100 5 40 plain 255 255 255 "nouveau classement : 1" || return 1
    check "the entry's keys along the bottom" keys_hint || return 1
    poll "the applause in the audio" 10 heard applause sonic_end || return 1
    keys Up Right Up Up Right Up Up Up Return
    expected=$(
        hall_line bcd "$t" 0
        printf '%s\n' "$hall_before" | head -n 9
    )
    poll "data/hall.dat with bcd at rank 1" 10 same_file hall "$tree/data/hall.dat" "$expected
" || return 1
    see "the menu after the name entry" 10 menu_shown || return 1
    check "the menu shows sonic's new best time" menu_best_times || return 1
    keys F3
    poll "the hall-of-fame screen loads" 10 printed "taille fichier  2 relue" || return 1
    see "the hall of fame with bcd at rank 1" 10 hall_rows || return 1
    close_window
    ends_with 0 10 || return 1
    check "the whole session's sound stays below full scale" sound_levels
}

scenario_race_2p_false_start() {
    local t
    cp "$tree/data/scores.dat" "$sdir/scores.before"
    start_game && to_menu || return 1
    keys Down Return
    poll "the race loads its board" 10 race_started 1 || return 1
    # Player 2 (row 1, key z, mario) jumps the start.
    see "the countdown at 4, 3 or 2" 10 early_countdown || return 1
    keys z
    see "mario's runner explodes at (64, 91)" 5 explosion_at 64 91 || return 1
    see "mario's runner gone after the explosion" 5 picture 64 91 "$(pic 3)" 64 91 30 30 || return 1
    check "sonic's runner still at its start" picture 59 61 "$(pic 11)" 0 0 25 27 keyed || return 1
    poll "the fatality sound during the countdown" 10 heard fatality ding || return 1
    see "GO! at (20, 10)" 10 text 20 10 20 bold 0 0 0 "GO!" || return 1
    poll "sonic's finish, clicking" 60 click_until_finish || return 1
    t=$(score_of 0)
    check "only sonic's best time changes" same_file scores "$tree/data/scores.dat" \
        "$(printf '%s 99999.000000 99999.000000 99999.000000' "$t")" || return 1
    see "sonic's finish mark" 5 finish_mark 0 "$t" || return 1
    check "the race is complete: no chronometer" chrono_hidden || return 1
    check "the race is complete: the hint that Escape goes on" continue_hint || return 1
    check "the start signal came after the fatality" heard start fatality || return 1

    keys Escape
    see "one new record: sonic's" 10 text 100 5 40 plain 255 255 255 "nouveau classement : 1" || return 1
    keys Return
    poll "data/hall.dat with aaa at rank 1" 10 first_hall_line_is "$(hall_line aaa "$t" 0)" || return 1
    see "the menu after the name entry" 10 menu_shown || return 1
    close_window
    ends_with 0 10 || return 1
    check "the whole session's sound stays below full scale" sound_levels
}
first_hall_line_is() {
    local seen
    seen=$(head -n 1 "$tree/data/hall.dat")
    echo "first line: $seen, expected $1"
    [ "$seen" = "$1" ]
}

scenario_controls() {
    start_game && to_menu || return 1
    keys F2
    poll "the controls screen loads" 10 printed "taille fichier  1 relue" || return 1
    # Drawn at once, before any other key.
    see "the controls screen, green bar on row 1" 10 controls_bar 0 green || return 1
    keys Right
    see "the same character twice: red bar" 5 controls_bar 0 red || return 1
    # Escape is refused while red: the Down after it still moves the bar here.
    keys Escape Down
    see "Escape refused: the red bar on row 2" 5 controls_bar 1 red || return 1
    # The bar tints what lies under it: each row is looked at from another.
    check "player 1 now runs mario" picture 55 45 "$(pic 8)" || return 1
    keys q Up Left
    see "mended: green bar on row 1" 5 controls_bar 0 green || return 1
    check "player 2's key is q" text 450 80 15 bold 255 255 255 "touche : q" || return 1
    keys Down
    see "the green bar on row 2" 5 controls_bar 1 green || return 1
    check "player 1 runs sonic again" picture 55 45 "$(pic 7)" || return 1
    keys Escape
    see "Escape accepted: the menu" 5 menu_shown || return 1
    keys alt+F4
    ends_with 0 10 || return 1
    check "data/control.dat saved when the menu ended" same_file control "$tree/data/control.dat" \
        "0 1 2 3
0 0 0 0
0 0 0 0
1 1 1 1
1 0 0 0
97 113 112 109
"
}

# Each way of quitting, from each screen that offers it: status 0.
scenario_quits() {
    local place how
    for place in menu race hall; do
        for how in close alt+F4; do
            note "quit from the $place with $how"
            fresh_tree || return 1
            start_game && to_menu || return 1
            case $place in
            race)
                keys Return
                poll "the race loads its board" 10 race_started 1 || return 1
                see "the countdown" 10 countdown_digit || return 1
                ;;
            hall)
                keys F3
                poll "the hall-of-fame screen loads" 10 printed "taille fichier  2 relue" || return 1
                see "the hall of fame" 10 hall_rows || return 1
                ;;
            esac
            if [ $how = close ]; then close_window; else keys alt+F4; fi
            ends_with 0 10 || return 1
            check "no error printed" not_printed Erreur || return 1
        done
    done
}
not_printed() { ! grep -F -- "$1" "$sdir/stdout.txt"; }

scenario_missing_sound() {
    local message="Erreur lors du chargement de fatality.mp3"
    rm "$tree/sounds/fatality.mp3"
    start_game || return 1
    see_intro "the intro's first frame" 15 intro_started || return 1
    keys Escape
    ends_with 1 20 || return 1
    # The message ends the output, without a line end.
    check "the message, exactly" same_file stdout <(tail -c $((${#message} + 1)) "$sdir/stdout.txt") \
        "
$message"
}

# --- Running them -------------------------------------------------------------------------
artifacts=$build/e2e-artifacts
summary=
for scenario in $scenarios; do
    if ! declare -F "scenario_$scenario" >/dev/null; then
        echo "run_e2e.sh: no scenario '$scenario' (there are: $all_scenarios)" >&2
        exit 2
    fi
    sdir=$tmp/$scenario
    tree=$sdir/tree
    check_no=0
    mkdir -p "$sdir/shots"
    fresh_tree || exit 1
    rm -rf "$artifacts/$runtime-$scenario"
    failed=0
    started=$(now_ms)
    "scenario_$scenario" || failed=1
    if game_running; then
        kill -KILL "$game_pid" 2>/dev/null
        wait "$game_pid" 2>/dev/null
    fi
    game_pid=
    took=$((($(now_ms) - started) / 1000))
    if [ $failed = 0 ]; then
        echo "PASS [$runtime/$scenario] (${took}s)"
        summary="$summary pass:$scenario"
    else
        echo "FAIL [$runtime/$scenario] (${took}s): artefacts in $artifacts/$runtime-$scenario"
        summary="$summary FAIL:$scenario"
    fi
    if [ $failed = 1 ] || [ "${VRILLON_E2E_KEEP:-0}" = 1 ]; then
        keep=$artifacts/$runtime-$scenario
        mkdir -p "$keep"
        cp "$sdir"/*.txt "$keep/" 2>/dev/null
        cp -r "$tree/data" "$keep/data" 2>/dev/null
        [ -e "$sdir/audio.raw" ] && cp "$sdir/audio.raw" "$keep/audio-44100Hz-s16le-stereo.raw"
        for s in "$sdir"/shots/*.ppm; do
            [ -e "$s" ] && convert "$s" "$keep/$(basename "${s%.ppm}").png" 2>/dev/null
        done
    fi
done
echo "e2e $runtime:$summary"
case $summary in *FAIL:*) exit 1 ;; esac
exit 0
