#!/usr/bin/env bash
# Runs a command under Wine's control on a private Xvfb display and ends both afterwards.
# Usage: run_on_xvfb.sh COMMAND [ARGS...]   (WINEPREFIX and friends come from the environment)
set -uo pipefail

display=""
for n in $(seq 91 140); do
    if [[ ! -e /tmp/.X11-unix/X$n && ! -e /tmp/.X$n-lock ]]; then display=$n; break; fi
done
[[ -n $display ]] || { echo "no free X display" >&2; exit 1; }

Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
cleanup() {
    wineserver -k >/dev/null 2>&1
    wineserver -w >/dev/null 2>&1
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
}
trap cleanup EXIT

for _ in $(seq 50); do
    [[ -e /tmp/.X11-unix/X$display ]] && break
    sleep 0.1
done
export DISPLAY=":$display"
# A display of our own needs a wineserver of our own.
wineserver -k >/dev/null 2>&1
wineserver -w >/dev/null 2>&1
"$@"
