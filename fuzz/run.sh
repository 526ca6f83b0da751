#!/usr/bin/env bash
# Runs the libFuzzer targets of fuzz/: bash fuzz/run.sh [EXECUTIONS] [TARGET...]
#
# Builds build/fuzz with clang++ (libFuzzer, AddressSanitizer, UBSan), then runs each target
# (every fuzz/*.cpp by default) for EXECUTIONS inputs (default 10,000,000) from a scratch copy of
# its seed corpus fuzz/corpus/TARGET, so the committed corpus stays as it is. Prints one line per
# target: executions, seconds, crashes. A crash stops its target; the input that caused it is
# kept in build/fuzz/crashes/TARGET and the log in build/fuzz/logs. The last line counts the
# targets, "fuzz: N passed, N failed". Exit code 1 on any crash.
# FUZZ_SEED=N makes the runs repeatable (the smoke of scripts/test-all.sh uses it).
set -euo pipefail
cd "$(dirname "$0")/.."

executions=10000000
if [[ $# -gt 0 && $1 =~ ^[0-9]+$ ]]; then
    executions=$1
    shift
fi
targets=("$@")
if ((${#targets[@]} == 0)); then
    for source in fuzz/*.cpp; do targets+=("$(basename "$source" .cpp)"); done
fi

# Longest input per target: room for every real example, and no more, since the time per input
# grows with it. Targets not listed get the default.
declare -A max_len=([archive_index]=4096 [package_list]=512 [pe_imports]=8192 [version_text]=256)
default_max_len=1024

source scripts/compiler-cache.sh
cmake -S . -B build/fuzz -DQV_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
      -DCMAKE_CXX_COMPILER=clang++ "${cache_launcher[@]}" >/dev/null
if ! cmake --build build/fuzz -j "$(nproc)" --target "${targets[@]/#/fuzz_}" >build/fuzz/build.log 2>&1; then
    cat build/fuzz/build.log
    exit 1
fi

# A quarter of ASan's usual quarantine still outlasts any input here by far; with the full one
# most allocations touch fresh pages, which cost command_line 40% of its executions per second.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:quarantine_size_mb=64
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
failed=0
for target in "${targets[@]}"; do
    scratch=build/fuzz/corpus/$target
    crashes=build/fuzz/crashes/$target
    log=build/fuzz/logs/$target.log
    rm -rf "$scratch" && mkdir -p "$scratch" "$crashes" "$(dirname "$log")"
    cp fuzz/corpus/"$target"/* "$scratch"/
    options=(-runs="$executions" -max_len="${max_len[$target]:-$default_max_len}"
             -artifact_prefix="$crashes/" -print_final_stats=1)
    [[ -f fuzz/$target.dict ]] && options+=(-dict="fuzz/$target.dict")
    [[ -n ${FUZZ_SEED:-} ]] && options+=(-seed="$FUZZ_SEED")

    before=$(find "$crashes" -type f | wc -l)
    start=$(date +%s%N)
    result=0
    build/fuzz/bin/fuzz_"$target" "${options[@]}" "$scratch" >"$log" 2>&1 || result=$?
    ms=$(( ($(date +%s%N) - start) / 1000000 ))
    ran=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    found=$(( $(find "$crashes" -type f | wc -l) - before ))
    printf '%-14s %10s executions %6d.%d s %3d crashes\n' "$target" "${ran:-?}" $((ms / 1000)) \
           $((ms % 1000 / 100)) "$found"
    if ((result != 0 || found > 0)); then
        failed=$((failed + 1))
        echo "  fuzz_$target ended with $result; log: $log; inputs: $crashes" >&2
    fi
done
echo "fuzz: $((${#targets[@]} - failed)) passed, $failed failed"
((failed == 0))
