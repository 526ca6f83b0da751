#!/usr/bin/env bash
# Assembles a distribution folder of the sample product, as a vendor ships the installer:
#
#   setup.exe, unrar.exe   from the win32 build (32-bit, for Windows XP and later)
#   data.arc               the sample product (tools/sample_product), packed by mkarc;
#                          its Sources\ only with --with-sources
#   version                one line, the version text
#   withsrcs, freevers     the markers, only on request
#
# usage: mkdist.sh [options] OUTPUT-FOLDER
#   --with-sources      put the sources into data.arc and write the marker withsrcs
#   --free              write the marker freevers (free edition)
#   --version TEXT      the text of the file version (default: "2.4.1.17 Standard Edition")
#   --bin DIR           where setup.exe and unrar.exe are (default: build/win32/bin; the tests,
#                       which cannot run a 32-bit program here, give build/win64/bin)
#   --host-bin DIR      where the host programs mksample and mkarc are (default: build/native/bin)
#
# The output folder is made if needed. A file of an earlier run there is replaced, and a marker
# not asked for this time is removed, so the folder always matches the options.
set -euo pipefail

repo=$(cd "$(dirname "$0")/../.." && pwd)
with_sources=no
free=no
version="2.4.1.17 Standard Edition"
bin="$repo/build/win32/bin"
host_bin="$repo/build/native/bin"

usage() { sed -n '/^# usage:/,/^# The output/p' "$0" | sed '$d; s/^# \{0,1\}//' >&2; exit 2; }

while [ $# -gt 0 ]; do
    case "$1" in
        --with-sources) with_sources=yes ;;
        --free) free=yes ;;
        --version) [ $# -ge 2 ] || usage; version=$2; shift ;;
        --bin) [ $# -ge 2 ] || usage; bin=$2; shift ;;
        --host-bin) [ $# -ge 2 ] || usage; host_bin=$2; shift ;;
        -*) usage ;;
        *) break ;;
    esac
    shift
done
[ $# -eq 1 ] || usage
out=$1

for program in "$bin/setup.exe" "$bin/unrar.exe" "$host_bin/mksample" "$host_bin/mkarc"; do
    [ -f "$program" ] || { echo "mkdist: $program is missing: build it first" >&2; exit 1; }
done

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
sources_option=()
[ "$with_sources" = yes ] && sources_option=(--with-sources)
"$host_bin/mksample" "$stage/product" "${sources_option[@]}" >/dev/null

mkdir -p "$out"
"$host_bin/mkarc" "$out/data.arc" "$stage/product"
cp "$bin/setup.exe" "$bin/unrar.exe" "$out/"
printf '%s\r\n' "$version" > "$out/version"

set_marker() {  # set_marker NAME yes|no
    if [ "$2" = yes ]; then : > "$out/$1"; else rm -f "$out/$1"; fi
}
set_marker withsrcs "$with_sources"
set_marker freevers "$free"
echo "mkdist: $out ready (version \"$version\", sources: $with_sources, free: $free)"
