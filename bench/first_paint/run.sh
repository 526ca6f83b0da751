#!/usr/bin/env bash
# Prints, under Wine, the time from process start to the first painted page of setup.exe with 40
# seeded IDEs (300 known packages, 100-entry paths each) and with none, against a bare window
# program's, and against the bare window plus the registry floor: the start-up's own registry reads
# made again, one query each, and nothing else (under Wine each is a server round trip that no
# program avoids). With no IDE also against a bare first page: the windows setup's first page
# shows, made plainly and nothing else. Also the peak working sets and setup.exe's size.
# Targets: setup/(bare window + registry floor) <= 1.3 with 40 IDEs, setup/bare window <= 1.2 with
# no IDE, peak working set <= 1.3 times the bare window's, setup.exe <= 2 MB.
# Usage: run.sh WIN64-BUILD-DIR NATIVE-BUILD-DIR   (on a display)
set -euo pipefail
build=$(realpath "${1:-$(dirname "$0")/../../build/win64}")
host=$(realpath "${2:-$(dirname "$0")/../../build/native}")
bin=$build/bin
export WINEPREFIX=${WINEPREFIX:-$build/first-paint-prefix} WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"; wineboot -i >/dev/null 2>&1
work=$(mktemp -d)
trap 'cd /; wine "$bin/startup_probe.exe" clear >/dev/null 2>&1 || true; wineserver -k; rm -rf "$work"' EXIT
bash "$(dirname "$0")/../../tools/mkdist/mkdist.sh" --bin "$bin" --host-bin "$host/bin" "$work/dist" >/dev/null
wine "$bin/startup_probe.exe" seed 40 >/dev/null

# The programs run in interleaved rounds, so that a burst of load on the machine or of work in the
# Wine server falls on every side alike; the figures are the medians of the rounds, after one round
# that warms the caches. setup.exe runs from the distribution folder, as a user starts it.
setup="Z:${work//\//\\}\\dist\\setup.exe"
rounds=9
paint() { # TITLE FILE PROGRAM: one first paint, "<ms> <peak KB>" appended to FILE
    local title=$1 file=$2; shift 2
    local line; line=$(wine "$bin/first_paint.exe" "$@" | tr -d '\r')
    if [[ $line != *" $title" ]]; then
        echo "first_paint: a window other than \"$title\" was painted: $line" >&2; exit 1
    fi
    echo "${line% "$title"}" >>"$file"
}
median() { # FILE COLUMN
    cut -d' ' -f"$2" "$1" | sort -n | sed -n "$(( ($(wc -l <"$1") + 1) / 2 ))p"
}
medians() { echo "$(median "$1" 1) $(median "$1" 2)"; }
mb() { awk "BEGIN{printf \"%.1f\", $1/1024}"; }
cd "$work/dist"
for round in $(seq 0 "$rounds"); do
    ((round)) || { paint "Bare window" /dev/null "$bin/bare_window.exe"; paint "Quorvex Installer" /dev/null "$setup"; continue; }
    paint "Bare window" "$work/bare.runs" "$bin/bare_window.exe"
    paint "Quorvex Installer" "$work/setup.runs" "$setup"
    wine "$bin/startup_probe.exe" floor | tr -d '\r' >>"$work/floor.runs"
done
# The share no program can avoid: every registry value the start-up reads is a server round trip.
wine "$bin/startup_probe.exe" start | tr -d '\r' >"$work/startup"
wine "$bin/startup_probe.exe" roundtrip | tr -d '\r' >"$work/roundtrip"
wine "$bin/startup_probe.exe" clear >/dev/null
for round in $(seq "$rounds"); do
    paint "Bare window" "$work/bare-none.runs" "$bin/bare_window.exe"
    paint "Bare page" "$work/page.runs" "$bin/bare_page.exe"
    paint "Quorvex Installer" "$work/none.runs" "$setup"
done
medians "$work/bare.runs" >"$work/bare"
medians "$work/setup.runs" >"$work/setup"
medians "$work/floor.runs" >"$work/floor"
medians "$work/bare-none.runs" >"$work/bare-none"
medians "$work/none.runs" >"$work/none"
medians "$work/page.runs" >"$work/page"
read -r bare_ms bare_kb <"$work/bare"
read -r setup_ms setup_kb <"$work/setup"
read -r none_ms none_kb <"$work/none"
read -r bare_none_ms bare_none_kb <"$work/bare-none"
read -r page_ms page_kb <"$work/page"
read -r floor_ms floor_queries <"$work/floor"
size=$(stat -c %s "$work/dist/setup.exe")

echo "bare window: first paint after ${bare_ms} ms (${bare_none_ms} ms beside no IDE), peak working set $(mb "$bare_kb") MB"
echo "setup.exe, 40 IDEs: first paint after ${setup_ms} ms, peak working set $(mb "$setup_kb") MB"
echo "setup.exe, no IDE: first paint after ${none_ms} ms, peak working set $(mb "$none_kb") MB"
echo "bare first page (setup's first windows, nothing else): first paint after ${page_ms} ms, peak working set $(mb "$page_kb") MB"
read -r _ _ values _ <"$work/startup"
read -r roundtrip_us <"$work/roundtrip"
echo "start-up sequence, in-process: $(sed 's/.*in-process: //' "$work/startup") for $values package values;" \
     "one registry query takes ${roundtrip_us} us, so these values alone take" \
     "$(awk "BEGIN{printf \"%.0f\", $values*$roundtrip_us/1000}") ms before any window"
echo "registry floor, 40 IDEs: ${floor_ms} ms for ${floor_queries} key opens and reads"
ratio() { awk "BEGIN{printf \"%.2f\", $1}"; }
echo "ratio setup/(bare window + registry floor), 40 IDEs: $(ratio "$setup_ms/($bare_ms+$floor_ms)") (target <= 1.3)"
echo "ratio setup/bare window, no IDE: $(ratio "$none_ms/$bare_none_ms") (target <= 1.2)"
echo "  of which the platform's, for the windows of the first page: bare first page/bare window $(ratio "$page_ms/$bare_none_ms");" \
     "setup's own: setup/bare first page $(ratio "$none_ms/$page_ms")"
echo "ratio peak working set setup/bare window, 40 IDEs: $(ratio "$setup_kb/$bare_kb"), no IDE: $(ratio "$none_kb/$bare_none_kb") (target <= 1.3)"
echo "setup.exe size: $(awk "BEGIN{printf \"%.2f\", $size/1048576}") MB ($size bytes, target <= 2 MB)"
