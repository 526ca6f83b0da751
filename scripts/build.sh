#!/usr/bin/env bash
# Configures and builds the three configurations: build/native (host, sanitizers), build/win64
# (MinGW-w64 x86-64, the Windows programs the tests run under Wine) and build/win32 (MinGW-w64
# i686, only the shipped setup.exe and unrar.exe).
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
source scripts/compiler-cache.sh

cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Debug -DQV_SANITIZE=ON "${cache_launcher[@]}" >/dev/null
cmake --build build/native -j "$jobs"

cmake -S . -B build/win64 -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE=cmake/mingw64.cmake "${cache_launcher[@]}" >/dev/null
cmake --build build/win64 -j "$jobs"

cmake -S . -B build/win32 -DCMAKE_BUILD_TYPE=Release -DQV_SHIPPED_ONLY=ON \
      -DCMAKE_TOOLCHAIN_FILE=cmake/mingw32.cmake "${cache_launcher[@]}" >/dev/null
cmake --build build/win32 -j "$jobs"
