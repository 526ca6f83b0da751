#!/usr/bin/env bash
# Opens each page of the gallery, takes a screenshot of the display and checks that the page
# painted something. Usage: screenshot_test.sh GALLERY_EXE OUTPUT_DIR  (on a display of its own)
set -euo pipefail
source "$(dirname "$0")/../wine_test/screenshot.sh"
gallery=$1
out=$2
mkdir -p "$out"

failed=0
for page in 0 1 2 3; do
    # The timer only bounds a run whose window never shows; the page ends once it is taken.
    wine "$gallery" --page "$page" --quit-after 60000 &
    pid=$!
    for _ in $(seq 100); do
        xwininfo -root -tree 2>/dev/null | grep -q '"Quorvex Setup Gallery"' && break
        sleep 0.1
    done
    shot="$out/gallery-page-$page.png"
    stable_screenshot "$shot"
    kill "$pid" 2>/dev/null || true
    wait "$pid" || true
    colours=$(convert "$shot" -format %k info:)
    if ((colours < 8)); then
        echo "page $page: the screenshot has only $colours colours" >&2
        failed=$((failed + 1))
    fi
    echo "page $page: $shot ($colours colours)"
done
echo "$((4 - failed)) passed, $failed failed"
((failed == 0))
