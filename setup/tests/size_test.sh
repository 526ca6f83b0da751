#!/usr/bin/env bash
# setup.exe stays at 2 MB or less in every build: users fetch it over slow lines and mail it on.
# Usage: size_test.sh SETUP_EXE...
set -uo pipefail
limit=$((2 * 1024 * 1024))
failures=0
for exe in "$@"; do
    if ! size=$(stat -c %s "$exe" 2>/dev/null); then
        echo "FAILED: $exe is missing"; failures=$((failures + 1))
    elif ((size > limit)); then
        echo "FAILED: $exe has $size bytes, more than $limit"; failures=$((failures + 1))
    else
        echo "ok: $exe has $size bytes"
    fi
done
[ "$failures" -eq 0 ]
