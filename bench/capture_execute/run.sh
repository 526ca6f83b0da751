#!/bin/sh
# Runs the CaptureExecute bench of an existing win64 build under Wine and prints its figures.
# Usage: bench/capture_execute/run.sh BUILD_DIR   (builds nothing)
set -eu
build=${1:?usage: $0 BUILD_DIR}
build=$(cd "$build" && pwd)
exe="$build/bin/bench_capture_execute.exe"
[ -f "$exe" ] || { echo "no $exe: build the target bench_capture_execute first" >&2; exit 1; }

export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
[ -f "$WINEPREFIX/system.reg" ] || wineboot -i >/dev/null 2>&1
trap 'wineserver -k 2>/dev/null || true' EXIT
cd "$build/bin"
wine "$exe"
