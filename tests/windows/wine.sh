#!/bin/sh
# wine.sh [--dlls FOLDER]... PROGRAM [ARGUMENT...]: runs a cross-built Windows
# program under Wine, quietly, in the Wine prefix scripts/build-windows.sh
# prepares (wineprefix in VRILLON_WINDOWS_CACHE, /var/cache/vrillon-windows by
# default; a WINEPREFIX of the caller's own stands), finding the DLLs in each
# FOLDER. Status 77 where there is no Wine.
if ! command -v wine >/dev/null 2>&1; then
    echo "SKIP: wine is not installed (scripts/build-windows.sh installs it)"
    exit 77
fi
while [ "${1-}" = --dlls ]; do
    # Wine shows the machine's root as the drive Z:.
    WINEPATH="${WINEPATH:+$WINEPATH;}Z:$(printf '%s' "$2" | tr / '\\')"
    shift 2
done
WINEPREFIX=${WINEPREFIX:-${VRILLON_WINDOWS_CACHE:-/var/cache/vrillon-windows}/wineprefix}
WINEDEBUG=${WINEDEBUG:--all}
export WINEPREFIX WINEDEBUG WINEPATH
exec wine "$@"
