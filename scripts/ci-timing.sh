#!/usr/bin/env bash
# Times the README's test command in two fresh clones of this checkout, one right after the
# other: the first on the machine as it is, the second with the compiler cache that the first
# left. Prints both wall times, their build times and the second clone's ccache hit rate.
# Usage: bash scripts/ci-timing.sh [--cold]   --cold empties the compiler cache first.
# Packages that install-deps.sh installed stay installed; the clones go afterwards.
set -euo pipefail
cd "$(dirname "$0")/.."
origin=$PWD
[[ ${1:-} == --cold ]] && ccache -C >/dev/null
root=$(mktemp -d /tmp/qv-timing.XXXXXX)
trap 'rm -rf "$root"' EXIT

# time_clone N: clones into $root/cloneN and runs the test command there; prints its times.
time_clone() {
    local clone=$root/clone$1 start status=0
    git clone -q "$origin" "$clone"
    start=$(date +%s)
    (cd "$clone" && bash scripts/test-all.sh) >"$root/clone$1.log" 2>&1 || status=$?
    local built
    built=$(sed -n 's/^== built in \([0-9]*\) s$/\1/p' "$root/clone$1.log")
    printf 'clone %d: %d s in all, %s s to build, exit %d, %s\n' "$1" $(($(date +%s) - start)) \
           "${built:-?}" "$status" "$(tail -n 1 "$root/clone$1.log")"
    grep '^FLAKY: ' "$root/clone$1.log" || true
    cp "$root/clone$1.log" "/tmp/qv-timing-clone$1.log"
}

time_clone 1
ccache -z >/dev/null
time_clone 2
ccache --print-stats | awk '
    $1 == "direct_cache_hit" || $1 == "preprocessed_cache_hit" { hits += $2 }
    $1 == "cache_miss" { misses = $2 }
    END { printf "clone 2: ccache hit rate %.1f %% (%d hits, %d misses)\n",
                 hits + misses ? 100 * hits / (hits + misses) : 0, hits, misses }'
echo "logs: /tmp/qv-timing-clone1.log /tmp/qv-timing-clone2.log"
