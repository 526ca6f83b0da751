#!/usr/bin/env bash
# Builds the three configurations and runs every test: natively under AddressSanitizer and UBSan,
# each fuzz target for a short while, and the Windows programs under Wine in a private prefix.
# Fails when a test fails or none ran.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0
ctest --test-dir build/native --output-on-failure --no-tests=error || status=1
# A short run of every fuzz target from its seed corpus, the same inputs each time; the long run
# is fuzz/run.sh alone.
FUZZ_SEED=1 bash fuzz/run.sh 20000 || status=1

cleanup() { WINEPREFIX="$PWD/build/win64/wineprefix" wineserver -k 2>/dev/null || true; }
trap cleanup EXIT
ctest --test-dir build/win64 --output-on-failure --no-tests=error || status=1

exit $status
