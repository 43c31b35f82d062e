#!/bin/sh
# Checks the shape of the game's code under src/: its folders form one stack,
# and each file includes only from its own folder or from folders below it.
#
#   shell      main, start-up, the menu-and-race cycle, the hall-of-fame placements
#   screens    main menu, hall of fame, new record, intro
#   race       race rules, drawing, effects, what the shell lends a race
#   input      input snapshot, screen keys, controls and their file, controls screen
#   records    best times, hall of fame
#   archive    picture archive loaders, the pictures every screen loads alike
#   tables     characters, players, picture numbers, layout shared with the generator
#   platform   the operating system and the media libraries; includes no game folder
#
# It also fails on a header of one operating system (unistd.h, fcntl.h, sys/...,
# signal.h, windows.h, ...) anywhere but in platform's files for that system
# (src/platform/*_posix.cpp, src/platform/*_win32.cpp), and on any #if in src/:
# the build picks the files for the system, the code never asks which it is.
# Prints every offending line and fails; prints one line and succeeds otherwise.
set -e
cd "$(dirname "$0")/.."
LAYERS="platform tables archive records input race screens shell"

rank() {
    i=0
    for layer in $LAYERS; do
        if [ "$layer" = "$1" ]; then
            echo "$i"
            return
        fi
        i=$((i + 1))
    done
    echo -1
}

status=0
for dir in src/*/; do
    folder=$(basename "$dir")
    if [ "$(rank "$folder")" -lt 0 ]; then
        echo "src/$folder: a folder with no place in the stack (add it to LAYERS here and in HACKING.md)"
        status=1
    fi
done

for file in $(find src -name '*.h' -o -name '*.cpp' | sort); do
    folder=$(echo "$file" | cut -d/ -f2)
    own=$(rank "$folder")
    # #include "folder/name.h" lines: each must name a folder at or below this one.
    for used in $(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file"); do
        case "$used" in
        */*) target=$(echo "$used" | cut -d/ -f1) ;;
        *)
            echo "$file: #include \"$used\" names no folder"
            status=1
            continue
            ;;
        esac
        other=$(rank "$target")
        if [ "$other" -lt 0 ]; then
            echo "$file: #include \"$used\": $target is no folder of the stack"
            status=1
        elif [ "$other" -gt "$own" ]; then
            echo "$file: #include \"$used\" runs up the stack ($folder includes $target)"
            status=1
        fi
    done
    case "$file" in
    src/platform/*_posix.cpp | src/platform/*_win32.cpp) continue ;;
    esac
    if grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*<(unistd|fcntl|signal|csignal|windows|winbase|io|direct|dirent|pwd|grp|dlfcn|pthread|poll|termios|sys/[^>]*)(\.h)?>' "$file" |
        sed "s|^|$file:|; s|\$|  (system header outside src/platform/*_posix.cpp)|" | grep .; then
        status=1
    fi
    if grep -nE '^[[:space:]]*#[[:space:]]*if' "$file" | sed "s|^|$file:|; s|\$|  (#if in the game's code)|" | grep .; then
        status=1
    fi
done

if [ "$status" -ne 0 ]; then
    echo "layers: the lines above break the stack (see HACKING.md, Layers)"
    exit 1
fi
echo "layers: every include runs down the stack, system headers only in src/platform/*_posix.cpp"
