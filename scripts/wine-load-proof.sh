#!/usr/bin/env bash
# Runs the whole Wine suite (scripts/wine-tests.sh) three times in a row while two busy loops keep
# both cores loaded, and counts the flakes. Needs a finished build (scripts/build.sh).
# Usage: bash scripts/wine-load-proof.sh [RUNS] [JOBS]
set -uo pipefail
cd "$(dirname "$0")/.."
runs=${1:-3} jobs=${2:-3}
load=()
for _ in 1 2; do yes >/dev/null & load+=($!); done
trap 'kill "${load[@]}" 2>/dev/null' EXIT

log=$(mktemp)
passes=0 flakes=0
for run in $(seq "$runs"); do
    start=$(date +%s)
    bash scripts/wine-tests.sh "$jobs" >"$log" 2>&1
    status=$?
    run_flakes=$(grep -c '^FLAKY: ' "$log")
    flakes=$((flakes + run_flakes))
    ((status == 0)) && passes=$((passes + 1))
    echo "run $run: exit $status in $(($(date +%s) - start)) s, $run_flakes flaky, $(tail -n 1 "$log")"
    grep '^FLAKY: ' "$log"
    # A run that failed or had a flake keeps its log, for the output of the first failure.
    if ((status != 0 || run_flakes > 0)); then
        cp "$log" "/tmp/qv-load-run$run.log"
        echo "  log: /tmp/qv-load-run$run.log"
    fi
done
rm -f "$log"
echo "under load: $passes of $runs runs passed, $flakes flakes"
((passes == runs))
