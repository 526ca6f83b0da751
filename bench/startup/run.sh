#!/usr/bin/env bash
# Times the installer's start-up under Wine for 1, 10 and 40 simulated IDEs against a program
# start that only parses its command line. Usage: run.sh [win64-build-dir]
set -euo pipefail
build=${1:-$(dirname "$0")/../../build/win64}
probe=$(realpath "$build/bin/startup_probe.exe")
export WINEPREFIX=${WINEPREFIX:-$(realpath "$build")/bench-prefix} WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"; wineboot -i >/dev/null 2>&1
work=$(mktemp -d); trap 'cd /; rm -rf "$work"; wine "$probe" clear >/dev/null 2>&1 || true; wineserver -k' EXIT
printf '2.4.1.17\r\n' >"$work/version"
cd "$work"

median_ms() { # command...: median wall time of 7 runs in milliseconds
    local times=()
    for _ in 1 2 3 4 5 6 7; do
        local t0=$(date +%s%N); "$@" >/dev/null 2>&1; local t1=$(date +%s%N)
        times+=($(( (t1 - t0) / 1000000 )))
    done
    printf '%s\n' "${times[@]}" | sort -n | sed -n 4p
}

wine "$probe" parse >/dev/null 2>&1  # warm the file cache and the server
baseline=$(median_ms wine "$probe" parse)
echo "command-line parse only: ${baseline} ms per process"
for n in 1 10 40; do
    wine "$probe" seed "$n" >/dev/null
    inside=$(wine "$probe" start | tr -d '\r')
    total=$(median_ms wine "$probe" start)
    echo "$n IDEs: ${total} ms per process (+$((total - baseline)) ms over parse only); $inside"
done
