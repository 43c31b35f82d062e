#!/bin/sh
# check_metadata.sh SOURCE_DIR BUILD_DIR
#
# What software centres and desktops read must pass their validators, and
# what the Debian packaging repeats from the build must agree with it: the
# version, the build's packages and the fonts' packages.
set -u
src=$1
build=$2

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

for tool in appstreamcli desktop-file-validate; do
    if ! command -v $tool >/dev/null; then
        echo "SKIP: $tool is not installed (Debian packages appstream, desktop-file-utils)"
        exit 77
    fi
done
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

metainfo=$(ls "$build"/dist/*.metainfo.xml 2>/dev/null | head -n 1)
if [ -z "$metainfo" ]; then
    fail "no metainfo file in $build/dist"
else
    appstreamcli validate --no-net --pedantic "$metainfo" >"$tmp/as.log" 2>&1 ||
        { cat "$tmp/as.log"; fail "appstreamcli validate --no-net $metainfo"; }
    id=$(sed -n 's:.*<id>\(.*\)</id>.*:\1:p' "$metainfo")
    [ "${metainfo##*/}" = "$id.metainfo.xml" ] || fail "the metainfo file is not named after its id $id"
    grep -q '<launchable type="desktop-id">vrillon.desktop</launchable>' "$metainfo" ||
        fail "the metainfo does not launch vrillon.desktop"
fi

sed 's:@VRILLON_LAUNCHER@:/usr/games/vrillon:' "$src/dist/vrillon.desktop.in" >"$tmp/vrillon.desktop"
desktop-file-validate "$tmp/vrillon.desktop" || fail "desktop-file-validate vrillon.desktop"

# One version: the project's.
version=$(sed -n 's/^project(Vrillon VERSION \([0-9.]*\).*/\1/p' "$src/CMakeLists.txt")
changelog=$(sed -n '1s/^vrillon (\([^)]*\)).*/\1/p' "$src/debian/changelog")
[ "$changelog" = "$version" ] ||
    fail "debian/changelog is at $changelog, CMakeLists.txt at $version"
if [ -n "$metainfo" ]; then
    release=$(sed -n 's:.*<release version="\([^"]*\)" date="\([^"]*\)".*:\1 \2:p' "$metainfo" | head -n 1)
    date=$(date -u -d "$(sed -n 's/^ -- .*>  //p' "$src/debian/changelog" | head -n 1)" +%F)
    [ "$release" = "$version $date" ] ||
        fail "the metainfo's newest release is '$release', the changelog's '$version $date'"
fi
grep -q "\"Vrillon $version\"" "$src/dist/vrillon.6" || fail "the man page is not for Vrillon $version"

# The package builds with what the build script installs: every build
# package of scripts/setup.sh (less the ones the package build needs not)
# is a build dependency, and every font package is named in debian/copyright.
packages=$(sed -n '/^PACKAGES="/,/"$/{p;/"$/q;}' "$src/scripts/setup.sh" |
    sed 's/PACKAGES="//; s/\$PACKAGES//; s/["\\]//g' | tr ' ' '\n' | grep -v '^$')
build_depends=$(sed -n '/^Build-Depends:/,/^[A-Z]/p' "$src/debian/control" |
    sed 's/^Build-Depends://; s/<[^>]*>//g; s/([^)]*)//g' | tr ',' '\n' | sed 's/^ *//; s/ *$//')
for p in $packages; do
    case $p in
    build-essential | git | libbenchmark-dev) continue ;; # implied, or not built in the package
    esac
    printf '%s\n' "$build_depends" | grep -qx -- "$p" ||
        fail "scripts/setup.sh installs $p for the build, debian/control does not build-depend on it"
done
for p in $packages; do
    case $p in
    fonts-*)
        grep -qw -- "$p" "$src/debian/copyright" || fail "debian/copyright does not name the font package $p"
        ;;
    esac
done

if [ $failures -ne 0 ]; then
    echo "$failures metadata check(s) failed"
    exit 1
fi
echo "all metadata checks passed"
