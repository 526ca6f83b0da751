#!/usr/bin/env bash
# Counts the Wine server requests that the window's thread of setup.exe (no IDE), of the bare
# window program and of the bare first page (setup's first windows, nothing else) makes from its
# start to its first paint. Under Wine every change to a window, every paint and every registry
# read is such a round trip, so the count is the start-up's cost without the noise of the clock.
# Usage: requests.sh WIN64-BUILD-DIR NATIVE-BUILD-DIR   (on a display)
set -euo pipefail
build=$(realpath "${1:-$(dirname "$0")/../../build/win64}")
host=$(realpath "${2:-$(dirname "$0")/../../build/native}")
bin=$build/bin
export WINEPREFIX=${WINEPREFIX:-$build/first-paint-prefix} WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"; WINEDEBUG=-all wineboot -i >/dev/null 2>&1
work=$(mktemp -d)
trap 'cd /; wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
bash "$(dirname "$0")/../../tools/mkdist/mkdist.sh" --bin "$bin" --host-bin "$host/bin" "$work/dist" >/dev/null
WINEDEBUG=-all wine "$bin/startup_probe.exe" clear >/dev/null
# The pointer away from the windows: moves over them would add requests of their own.
if command -v xdotool >/dev/null; then xdotool mousemove 0 0 || true; fi

requests() { # CLASS PROGRAM: the count, for the thread that creates the window of that class
    local class=$1 trace=$work/trace
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    # The server starts with this run and writes its trace to the run's standard error.
    WINEDEBUG=+server wine "$bin/first_paint.exe" "$2" >/dev/null 2>"$trace"
    local created tid start
    created=$(grep -n -m1 "create_window(.*class=L\"$class\"" "$trace" | cut -d: -f1)
    tid=$(sed -n "${created}p" "$trace" | cut -d: -f1)
    start=$(awk -v tid="$tid: init_first_thread(" -v last="$created" \
        'NR > last { exit } index($0, tid) == 1 { start = NR } END { print start }' "$trace")
    awk -v tid="$tid:" -v start="$start" '
        NR < start { next }
        /first-paint-seen/ { exit }
        $1 == tid && $2 ~ /^[a-z_]+\(/ && $0 !~ /^[0-9a-f]+: [a-z_]+\(\) = / { n++ }
        END { print n }' "$trace"
}
cd "$work/dist"
bare=$(requests QvBareWindow "$bin/bare_window.exe")
page=$(requests QvBarePage "$bin/bare_page.exe")
setup=$(requests QvSetupMain "Z:${work//\//\\}\\dist\\setup.exe")
ratio() { awk "BEGIN{printf \"%.2f\", $1/$2}"; }
echo "server requests to the first paint, no IDE: bare window $bare, bare first page $page, setup.exe $setup"
echo "ratio requests setup/bare window, no IDE: $(ratio "$setup" "$bare")"
echo "  bare first page/bare window (the platform's, for the first page's windows): $(ratio "$page" "$bare");" \
     "setup/bare first page (setup's own): $(ratio "$setup" "$page")"
