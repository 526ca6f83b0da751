#!/usr/bin/env bash
# setup.exe with a help argument writes the help screen to redirected standard output, waits for
# one line of input and ends with exit code 1, before any window exists.
set -uo pipefail
setup_exe=$1
failures=0
check() { # description, condition...
    local what=$1; shift
    if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}

out=$(mktemp); trap 'rm -f "$out" "$out".*' EXIT
for argument in --help /? -h --HELP; do
    printf '\r\n' | timeout 60 wine "$setup_exe" --unknown "$argument" >"$out.$$" 2>/dev/null
    code=$?
    check "$argument ends with exit code 1 (got $code)" test "$code" -eq 1
    check "$argument writes 15 lines" test "$(wc -l <"$out.$$")" -eq 15
    check "$argument lists --help with its text in column 23" \
        grep -q $'^--help                Show this screen.\r$' "$out.$$"
    check "$argument lists string options with X" grep -q $'^-rBDS=X               Sets' "$out.$$"
    check "$argument does not list the aliases" bash -c "! grep -qE '^(/\\?|-h) ' '$out.$$'"
    check "$argument begins and ends with a blank line" \
        test "$(head -c 2 "$out.$$" | od -An -c | tr -d ' ')" = '\r\n' -a \
             "$(tail -c 4 "$out.$$" | od -An -c | tr -d ' ')" = '\r\n\r\n'
done

# Without input the wait for Enter ends at once; the exit code stays 1.
timeout 60 wine "$setup_exe" --help </dev/null >"$out" 2>/dev/null
code=$?
check "closed input still ends with exit code 1 (got $code)" test "$code" -eq 1

[ "$failures" -eq 0 ]
