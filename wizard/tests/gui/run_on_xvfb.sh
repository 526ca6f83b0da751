#!/usr/bin/env bash
# Runs a command on an Xvfb display of its own and ends the display afterwards; Xvfb picks a free
# display number itself, so that tests started side by side never share one.
# Usage: run_on_xvfb.sh COMMAND [ARGS...]   (WINEPREFIX and friends come from the environment)
set -uo pipefail

number_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
xvfb_pid=$!
cleanup() {
    wineserver -k >/dev/null 2>&1
    wineserver -w >/dev/null 2>&1
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
    rm -f "$number_file"
}
trap cleanup EXIT

# Xvfb writes the number once it accepts connections.
display=""
for _ in $(seq 200); do
    if (($(wc -l <"$number_file") > 0)); then display=$(head -n 1 "$number_file"); break; fi
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.05
done
[[ -n $display ]] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$display"
# A display of our own needs a wineserver of our own.
wineserver -k >/dev/null 2>&1
wineserver -w >/dev/null 2>&1
"$@"
