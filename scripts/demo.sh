#!/usr/bin/env bash
# Builds setup.exe and runs it under Wine in a private prefix. Until the setup window is part of
# the build, it shows what start-up does so far: the help screen of the command line.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build/win64 -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE=cmake/mingw64.cmake >/dev/null
cmake --build build/win64 -j "$(nproc)" --target setup

export WINEPREFIX="$PWD/build/demo/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"
wineboot -i >/dev/null 2>&1
status=0
echo | wine build/win64/bin/setup.exe --help | cat || status=$?
echo "setup.exe --help ended with exit code $status"
wineserver -k 2>/dev/null || true
