#!/usr/bin/env bash
# Copies a Wine prefix quickly: copy_prefix.sh TEMPLATE COPY
# The system's DLLs and programs (most of the prefix's 700 MB) are hard links to the template's,
# since Wine and the tests only read them. The registry, the ini files, the users' profiles and
# every small file get copies of their own: Wine rewrites ini files in place, and a test may write
# any file it finds. Falls back to a full copy across file systems.
set -euo pipefail
template=$1 copy=$2
if ! cp -al "$template" "$copy" 2>/dev/null; then
    rm -rf "$copy"
    exec cp -a "$template" "$copy"
fi
cd "$template"
find . -type f \( -name '*.reg' -o -name '*.ini' -o -path './drive_c/users/*' -o -size -64k \) -print0 |
    xargs -0 -r cp -p --parents --remove-destination -t "$copy"
