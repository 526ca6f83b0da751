#!/usr/bin/env bash
# Runs the Wine tests of build/win64 side by side: bash scripts/wine-tests.sh [JOBS]
# A test that fails is run once more. One that then passes is named on a line "FLAKY: NAME", so
# that flakes stay visible, and the screenshots of its failed try stay in
# build/win64/screenshots-of-failed-try. One that fails twice fails the run. The last line counts
# the tests: "wine: N passed, N failed". Exit code 1 when a test failed twice or none ran.
set -uo pipefail
cd "$(dirname "$0")/.."
jobs=${1:-3}
build=build/win64
first=$(mktemp) second=$(mktemp)
trap 'rm -f "$first" "$second"' EXIT

failed_list=$build/Testing/Temporary/LastTestsFailed.log
# run_tests LOG [CTEST OPTIONS]: one ctest run; prints the names of the tests that did not pass.
run_tests() {
    local log=$1; shift
    rm -f "$failed_list"
    ctest --test-dir "$build" -j "$jobs" --output-on-failure "$@" 2>&1 | tee "$log" >&2
    [[ -f $failed_list ]] && cut -d: -f2- "$failed_list" | sort -u
}

failed_once=$(run_tests "$first" --no-tests=error)
total=$(sed -n 's/.*tests failed out of \([0-9]*\)$/\1/p' "$first")
if [[ -z $total ]]; then
    echo "wine: 0 passed, 1 failed"
    exit 1
fi
still_failed=$failed_once
if [[ -n $failed_once ]]; then
    # The run once more writes the same screenshots: those of the failed try are kept apart.
    rm -rf "$build/screenshots-of-failed-try"
    cp -r "$build/setup/screenshots" "$build/screenshots-of-failed-try" 2>/dev/null || true
    echo "== running once more: $(echo $failed_once)"
    failed_twice=$(run_tests "$second" -R "^($(echo $failed_once | tr ' ' '|'))\$")
    still_failed=$(comm -12 <(echo "$failed_once") <(echo "$failed_twice"))
    comm -23 <(echo "$failed_once") <(echo "$failed_twice") | sed 's/^/FLAKY: /'
fi
failures=$(grep -c . <<<"$still_failed")
echo "wine: $((total - failures)) passed, $failures failed"
((failures == 0))
