#!/bin/bash
# run_exits.sh RUNTIME BUILD_DIR SHIM [RUNS [PATH...]]
#
# Every way the real game ends early, RUNS times each (default 3): each fatal
# path (no screen to open the window on, every missing sound, two sounds that
# would crash the mixer, the race font, the control and best-times files, the
# picture archive, a damaged picture of each screen) must print its exact
# message and end with status 1; a termination signal (SIGTERM, SIGINT,
# SIGHUP) at each screen must end it with status 0. The game runs in an X
# server of its own (Xvfb) with SDL's disk audio driver, on RUNTIME: "classic"
# (Debian's SDL 1.2) or "compat" (sdl12-compat over SDL 2).
#
# SHIM is an LD_PRELOAD library that makes every dlclose wait 200 ms. A game
# that ends with its sound thread still running then crashes every time
# instead of now and then, so a few runs per path are enough.
#
# Prints one line per path and a summary; a path that fails keeps its output
# in BUILD_DIR/exits-artifacts/RUNTIME-PATH-N/.
# Exit status: 0 all passed, 1 a failure, 77 skipped (no X tools or runtime).
set -u

if [ $# -lt 3 ]; then
    echo "usage: run_exits.sh classic|compat BUILD_DIR SHIM [RUNS [PATH...]]" >&2
    exit 2
fi
runtime=$1
build=$(cd "$2" && pwd) || exit 2
shim=$3
runs=${4:-3}
shift 3
[ $# -gt 0 ] && shift
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../support/x_display.sh"

for tool in Xvfb xdotool xwininfo stdbuf ldd od dd; do
    command -v "$tool" >/dev/null 2>&1 || {
        echo "SKIP: $tool is not installed (scripts/setup.sh lists the test packages)"
        exit 77
    }
done
game=$build/game/vrillon
[ -x "$game" ] && [ -f "$shim" ] || {
    echo "FAIL: build the game and $shim first"
    exit 1
}
use_sdl_runtime "$runtime" "$game" run_exits.sh

x_test_begin vrillon-exits

# --- The paths ---------------------------------------------------------------------
# NAME|DAMAGE|AFTER THE INTRO|STATUS|MESSAGE (printf format; the output's last bytes)
# DAMAGE: rm FILE, pic N (picture N's width and height set to -1), or
# nodisplay (started from a terminal with no DISPLAY: SDL falls back to a
# driver that shows nothing, text art on the classic SDL, offscreen on SDL 2).
# AFTER THE INTRO: what is done once the game is past its intro: nothing,
# a menu key (F2 controls, F3 hall of fame, Return a race), or a signal sent
# on the intro, the menu, the controls screen or a race.
bad='image %d de taille invalide -1*-1'
case $runtime in classic) nowhere=caca ;; *) nowhere=offscreen ;; esac
all_paths="
no_display|nodisplay|-|1|INTRO / Err création de la fenêtre : aucun écran (SDL n'a que son pilote vidéo $nowhere, qui n'affiche rien)\n
ding|rm sounds/ding.wav|-|1|Erreur lors du chargement de ding.wave
start|rm sounds/start.wav|-|1|Erreur lors du chargement de start.wav
mario_end|rm sounds/mario_end.mid|-|1|Erreur lors du chargement de mario_end.mid\n
sonic_end|rm sounds/sonic_end.wav|-|1|Erreur lors du chargement de sonic_end.wav\n
road_end|rm sounds/road_end.mp3|-|1|Erreur lors du chargement de road_end.mp3\n
shrek_end|rm sounds/shrek_end.wav|-|1|Erreur lors du chargement de shrek_end.wav\n
fatality|rm sounds/fatality.mp3|-|1|Erreur lors du chargement de fatality.mp3
ding_adpcm_block_0|sound ima_block_align_zero.wav sounds/ding.wav|-|1|Erreur lors du chargement de ding.wave
mario_end_rmid|sound song_riff_wrapped.mid sounds/mario_end.mid|-|1|Erreur lors du chargement de mario_end.mid\n
comic|rm font/comic.ttf|-|1|Erreur de chargement de la police font/comic.ttf : Couldn't open font/comic.ttf\n
control|rm data/control.dat|-|1|Erreur de chargement du fichier de control
archive|rm pics/pics.dat|-|1|Erreur de chargement du terrain : ouverture de pics/pics.dat impossible\n
terrain|pic 3|-|1|Erreur de chargement du terrain : $(printf "$bad" 3)\n
sprites|pic 12|-|1|Erreur de chargement du spriteSet mario : $(printf "$bad" 12)\n
portrait|pic 10|-|1|MAIN / Erreur de chargement de shrek.bmp : $(printf "$bad" 10)\n
explosion|pic 15|-|1|MAIN / Erreur de chargement de explode.bmp : $(printf "$bad" 15)\n
scores|rm data/scores.dat|-|1|Erreur de chargement du fichier de scores
menu|pic 0|-|1|MENU / Erreur de chargement de menu.bmp : $(printf "$bad" 0)\n
controls|pic 1|F2|1|MENU / Erreur de chargement de option.bmp : $(printf "$bad" 1)\n
hall|pic 2|F3|1|HALL / Erreur de chargement de hall.bmp : $(printf "$bad" 2)\n
board|pic 16|Return|1|Erreur de chargement de board.bmp : $(printf "$bad" 16)\n
term_intro|-|TERM intro|0|
hup_intro|-|HUP intro|0|
int_menu|-|INT menu|0|
hup_controls|-|HUP controls|0|
term_hall|-|TERM hall|0|
term_race|-|TERM race|0|
int_race|-|INT race|0|
"
only=" $* "

now_ms() { echo $(($(date +%s%N) / 1000000)); }
game_running() {
    kill -0 "$game_pid" 2>/dev/null && ! grep -q ') Z ' "/proc/$game_pid/stat" 2>/dev/null
}
game_window() { xdotool search --name '^Vrillon$' 2>/dev/null | tail -n 1; }
intro_shown() { xwininfo -root -tree 2>/dev/null | grep -q ' 640x480+'; }
printed() { grep -q "$1" "$dir/stdout.txt" 2>/dev/null; }
# wait_for MS COMMAND...: waits up to MS milliseconds for COMMAND, while the game runs.
wait_for() {
    local end=$(($(now_ms) + $1))
    shift
    until "$@" >/dev/null; do
        game_running || return 1
        [ "$(now_ms)" -lt "$end" ] || return 1
        sleep 0.05
    done
}
# The pointer over the game's window (or the intro's), so that XTEST's keys
# reach it: the classic SDL keeps an unused window below the game's.
key() {
    local w
    w=$(game_window)
    if [ -n "$w" ]; then
        xdotool mousemove --window "$w" 320 120 key "$1" 2>/dev/null
    else
        xdotool mousemove 320 240 key "$1" 2>/dev/null
    fi
}
# to_screen KEY PICTURE: presses KEY on the menu until the screen it opens
# has loaded PICTURE (its trace is printed even when the picture is damaged).
to_screen() {
    local tries=0 trace
    trace=$(printf 'taille fichier  %d relue' "$2")
    while game_running && ! printed "$trace" && [ $tries -lt 20 ]; do
        key "$1"
        wait_for 500 printed "$trace"
        tries=$((tries + 1))
    done
    printed "$trace"
}

# damage_picture N: width and height of picture N read as -1.
damage_picture() {
    local at
    at=$(od -An -tu4 -j $(($1 * 4)) -N4 "$tree/pics/pics.dat" | tr -d ' ')
    printf '\377\377\377\377\377\377\377\377' |
        dd of="$tree/pics/pics.dat" bs=1 seek="$at" conv=notrunc status=none
}

# run_path NAME DAMAGE AFTER STATUS MESSAGE N: one run; prints why it failed.
run_path() {
    local name=$1 damage=$2 after=$3 want_status=$4 message=$5 n=$6 status sig stage
    local display=DISPLAY=$DISPLAY
    dir=$tmp/$name-$n
    tree=$dir/tree
    mkdir -p "$dir"
    cp -r "$build/game" "$tree" && rm -rf "$tree/data" && cp -r "$build/templates/data" "$tree/data"
    case $damage in
    rm\ *) rm -f "$tree/${damage#rm }" ;;
    pic\ *) damage_picture "${damage#pic }" ;;
    nodisplay) display="-u DISPLAY TERM=xterm" ;;
    sound\ *) # a generated variant that would crash the mixer's reader
        local variant=${damage#sound }
        mkdir -p "$dir/variants" &&
            "$build/tests/common/write_sound_variants" "$dir/variants" >/dev/null &&
            cp "$dir/variants/${variant% *}" "$tree/${variant#* }"
        ;;
    esac
    # shellcheck disable=SC2086 # the display is words
    (cd "$tree" && exec env -u SDL_VIDEODRIVER -u WAYLAND_DISPLAY $display SDL_AUDIODRIVER=disk \
        SDL_DISKAUDIOFILE="$dir/audio.raw" SDL_DISKAUDIODELAY=21 LD_PRELOAD="$shim" \
        ${lib_path:+LD_LIBRARY_PATH="$lib_path${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}"} \
        stdbuf -oL ./vrillon) >"$dir/stdout.txt" 2>"$dir/stderr.txt" &
    game_pid=$!
    sig=${after% *}
    stage=${after#* }
    if [ "$damage" = nodisplay ]; then
        : # no window to wait for: the game ends by itself
    elif ! wait_for 15000 intro_shown; then
        echo "no intro seen"
        return 1
    elif [ "$stage" = intro ]; then
        sleep 0.3
        kill -"$sig" "$game_pid"
    else
        # Escape until the start-up's first trace: a key sent before the
        # intro's window takes the keyboard is lost.
        local tries=0
        while game_running && ! printed 'long =4 octets' && [ $tries -lt 100 ]; do
            key Escape
            wait_for 500 printed 'long =4 octets'
            tries=$((tries + 1))
        done
        # Past the intro: the fatal paths of the start-up and the menu end here.
        if [ "$after" != - ]; then
            wait_for 15000 printed 'taille fichier  0 relue' && wait_for 10000 game_window || {
                echo "no main menu seen"
                return 1
            }
            sleep 0.3
            case $after in
            F2) to_screen F2 1 ;;
            F3) to_screen F3 2 ;;
            Return) to_screen Return 16 ;;
            *)
                case $stage in
                controls) to_screen F2 1 ;;
                hall) to_screen F3 2 ;;
                race) to_screen Return 16 ;;
                esac || {
                    echo "no $stage screen seen"
                    return 1
                }
                sleep 0.3
                kill -"$sig" "$game_pid"
                ;;
            esac
        fi
    fi
    # Each dlclose waits 200 ms: SDL 2 unloads a dozen X libraries on the way out.
    local end=$(($(now_ms) + 40000))
    while game_running && [ "$(now_ms)" -lt "$end" ]; do sleep 0.05; done
    if game_running; then
        kill -KILL "$game_pid" 2>/dev/null
        wait "$game_pid" 2>/dev/null
        game_pid=
        echo "still running after 40 s"
        return 1
    fi
    wait "$game_pid"
    status=$?
    game_pid=
    if [ "$status" != "$want_status" ]; then
        [ "$status" -gt 128 ] && echo "ended on signal $((status - 128)) (status $status), expected $want_status" ||
            echo "status $status, expected $want_status"
        return 1
    fi
    if [ -n "$message" ]; then
        printf "$message" >"$dir/expected.txt"
        tail -c "$(wc -c <"$dir/expected.txt")" "$dir/stdout.txt" >"$dir/seen.txt"
        cmp -s "$dir/expected.txt" "$dir/seen.txt" || {
            echo "output ends with '$(tr '\n' '|' <"$dir/seen.txt")', expected '$(tr '\n' '|' <"$dir/expected.txt")'"
            return 1
        }
    fi
    rm -rf "$dir"
}

artifacts=$build/exits-artifacts
failed=0
total=0
crashes=0
while IFS='|' read -r name damage after want message; do
    [ -n "$name" ] || continue
    case $only in "  ") ;; *" $name "*) ;; *) continue ;; esac
    passed=0
    why=
    for n in $(seq 1 "$runs"); do
        total=$((total + 1))
        if out=$(run_path "$name" "$damage" "$after" "$want" "$message" "$n"); then
            passed=$((passed + 1))
        else
            case $out in *"on signal"*) crashes=$((crashes + 1)) ;; esac
            why="$why
    run $n: $out"
            rm -rf "$artifacts/$runtime-$name-$n"
            mkdir -p "$artifacts"
            cp -r "$tmp/$name-$n" "$artifacts/$runtime-$name-$n" 2>/dev/null
            rm -rf "$artifacts/$runtime-$name-$n/tree"
        fi
    done
    if [ "$passed" = "$runs" ]; then
        echo "PASS [$runtime/$name] $passed of $runs"
    else
        echo "FAIL [$runtime/$name] $passed of $runs$why"
        failed=1
    fi
done <<EOF
$all_paths
EOF
echo "exits on $runtime: $total runs, $crashes crashes, $([ $failed = 0 ] && echo 'all passed' || echo 'FAILED')"
exit $failed
