# Sourced by the Wine test scripts.
failures=0
# check WHAT COMMAND...: prints "ok: WHAT" or "FAILED: WHAT" and counts the failures.
check() {
    local what=$1; shift
    if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}
# runs_here PATTERN: a process of this test's prefix whose command line matches.
runs_here() {
    local pid
    for pid in $(pgrep -f "$1"); do
        tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" && return 0
    done
    return 1
}
# begin_scratch: a scratch folder $work that goes when the test ends, with the wineserver of the
# test's private prefix; $drive_c is that prefix's drive C:.
begin_scratch() {
    work=$(mktemp -d)
    trap 'wineserver -k >/dev/null 2>&1; rm -rf "$work"' EXIT
    drive_c=$WINEPREFIX/drive_c
}
