#!/bin/sh
# Runs the CaptureExecute bench of an existing win64 build under Wine, in a private copy of the
# build's template prefix, and prints its figures.
# Usage: bench/capture_execute/run.sh BUILD_DIR   (builds nothing)
set -eu
build=${1:?usage: $0 BUILD_DIR}
build=$(cd "$build" && pwd)
top=$(cd "$(dirname "$0")/../.." && pwd)
exe="$build/bin/bench_capture_execute.exe"
[ -f "$exe" ] || { echo "no $exe: build the target bench_capture_execute first" >&2; exit 1; }

export QV_WINE_TEMPLATE="$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
[ -f "$QV_WINE_TEMPLATE/system.reg" ] || bash "$top/tools/wine_test/make_template.sh"
cd "$build/bin"
bash "$top/tools/wine_test/in_private_prefix.sh" wine "$exe"
