# Shell functions shared by the script tests (install, package): checks that
# count their failures in `failures` and go on, so one run reports them all.
# Source it from sh or bash.

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
# expect DESCRIPTION COMMAND...: the command must succeed.
expect() {
    what=$1
    shift
    "$@" || fail "$what"
}
# same DESCRIPTION ACTUAL EXPECTED
same() {
    [ "$2" = "$3" ] || fail "$1: got '$2', expected '$3'"
}
# has FILE TEXT: FILE holds a line containing TEXT.
has() { grep -qF -- "$2" "$1"; }
