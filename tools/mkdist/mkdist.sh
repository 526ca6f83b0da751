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
#   --sign FILE.pfx     sign setup.exe and unrar.exe with Authenticode (osslsigncode), with the
#                       vendor's certificate and key, so that Windows names the vendor
#   --sign-password-file F   the password of FILE.pfx, as the first line of F
#   --timestamp-url URL a time-stamping service, so that the signature outlives the certificate
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
sign=""
sign_password_file=""
timestamp_url=""

usage() { sed -n '/^# usage:/,/^# The output/p' "$0" | sed '$d; s/^# \{0,1\}//' >&2; exit 2; }

while [ $# -gt 0 ]; do
    case "$1" in
        --with-sources) with_sources=yes ;;
        --free) free=yes ;;
        --version) [ $# -ge 2 ] || usage; version=$2; shift ;;
        --bin) [ $# -ge 2 ] || usage; bin=$2; shift ;;
        --host-bin) [ $# -ge 2 ] || usage; host_bin=$2; shift ;;
        --sign) [ $# -ge 2 ] || usage; sign=$2; shift ;;
        --sign-password-file) [ $# -ge 2 ] || usage; sign_password_file=$2; shift ;;
        --timestamp-url) [ $# -ge 2 ] || usage; timestamp_url=$2; shift ;;
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
if [ -n "$sign" ]; then
    command -v osslsigncode >/dev/null || { echo "mkdist: osslsigncode is missing (scripts/install-deps.sh)" >&2; exit 1; }
    [ -f "$sign" ] || { echo "mkdist: the certificate $sign is missing" >&2; exit 1; }
    [ -z "$sign_password_file" ] || [ -f "$sign_password_file" ] ||
        { echo "mkdist: the password file $sign_password_file is missing" >&2; exit 1; }
elif [ -n "$sign_password_file$timestamp_url" ]; then
    usage
fi

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
sources_option=()
[ "$with_sources" = yes ] && sources_option=(--with-sources)
"$host_bin/mksample" "$stage/product" "${sources_option[@]}" >/dev/null

mkdir -p "$out"
"$host_bin/mkarc" "$out/data.arc" "$stage/product"
cp "$bin/setup.exe" "$bin/unrar.exe" "$out/"
printf '%s\r\n' "$version" > "$out/version"

if [ -n "$sign" ]; then
    sign_options=(-pkcs12 "$sign" -h sha256 -n "Quorvex Setup")
    [ -n "$sign_password_file" ] && sign_options+=(-readpass "$sign_password_file")
    [ -n "$timestamp_url" ] && sign_options+=(-t "$timestamp_url")
    for program in setup.exe unrar.exe; do
        if ! osslsigncode sign "${sign_options[@]}" -in "$out/$program" -out "$stage/$program" > "$stage/sign.log" 2>&1; then
            echo "mkdist: signing $out/$program with $sign failed:" >&2
            cat "$stage/sign.log" >&2
            exit 1
        fi
        mv -f "$stage/$program" "$out/$program"
    done
fi

set_marker() {  # set_marker NAME yes|no
    if [ "$2" = yes ]; then : > "$out/$1"; else rm -f "$out/$1"; fi
}
set_marker withsrcs "$with_sources"
set_marker freevers "$free"
echo "mkdist: $out ready (version \"$version\", sources: $with_sources, free: $free, signed: $([ -n "$sign" ] && echo yes || echo no))"
