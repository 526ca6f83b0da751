#!/usr/bin/env bash
# Builds the three configurations and runs every test: natively under AddressSanitizer and UBSan,
# each fuzz target for a short while, and the Windows programs under Wine, side by side, each in a
# private prefix. Only a Wine test that fails is run once more (scripts/wine-tests.sh). The last
# line counts every test: "N passed, N failed". Fails when a test fails or none ran.
set -uo pipefail
cd "$(dirname "$0")/.."
started=$(date +%s)
bash scripts/install-deps.sh || exit 1
bash scripts/build.sh || { echo "0 passed, 1 failed"; exit 1; }
echo "== built in $(($(date +%s) - started)) s"

passed=0 failed=0
# tally LOG: adds the last "N passed, N failed" line of LOG to the counts; none counts as a failure.
tally() {
    local counts
    counts=$(sed -nE 's/^([a-z]+: )?([0-9]+) passed, ([0-9]+) failed.*/\2 \3/p' "$1" | tail -n 1)
    [[ -n $counts ]] || counts="0 1"
    read -r p f <<<"$counts"
    passed=$((passed + p)) failed=$((failed + f))
}
log=$(mktemp)
trap 'rm -f "$log"' EXIT

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build/native -j "$(nproc)" --output-on-failure --no-tests=error 2>&1 | tee "$log"
sed -nE 's/.* tests passed, ([0-9]+) tests failed out of ([0-9]+)$/native: \2 \1/p' "$log" |
    awk '{ print $1, $2 - $3 " passed, " $3 " failed" }' >>"$log"
tally "$log"

# A short run of every fuzz target from its seed corpus, the same inputs each time; the long run
# is fuzz/run.sh alone.
FUZZ_SEED=1 bash fuzz/run.sh 20000 2>&1 | tee "$log"
tally "$log"

bash scripts/wine-tests.sh 3 2>&1 | tee "$log"
tally "$log"

echo "== all tests in $(($(date +%s) - started)) s"
echo "$passed passed, $failed failed"
((failed == 0 && passed > 0))
