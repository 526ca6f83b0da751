#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build and test the installer. Runs as root,
# asks nothing, and does nothing when everything is there.
set -euo pipefail

packages=(cmake g++ make googletest g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
          g++-mingw-w64-i686-win32 binutils-mingw-w64-i686 wine wine64
          xvfb x11-utils xdotool imagemagick clang libclang-rt-14-dev ccache osslsigncode openssl)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
