#!/usr/bin/env bash
# A library planted beside setup.exe under a system library's name is not loaded, not even before
# WinMain: canaries for the libraries setup.exe uses (version, shlwapi, comdlg32, shfolder) lie
# beside it, Wine is told to prefer them over its own, and setup.exe starts (--help: it ends right
# after its start-up). Under Wine, the system's own user32 imports version.dll by name, so a
# planted copy of it loads into any program with a window, whatever its import table says. A twin program that imports exactly what setup.exe imports tells
# the two apart: setup.exe may load no canary that the twin does not load too.
# Usage: planted_dll_test.sh SETUP_EXE IMPORT_TWIN_EXE CANARY_DIR OBJDUMP   (in a private prefix)
set -uo pipefail
setup_exe=$1 twin_exe=$2 canaries=$3 objdump=$4
failures=0
check() {
    local what=$1; shift
    if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}
imports() { "$objdump" -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | sort; }
check "the twin imports what setup.exe imports" test "$(imports "$setup_exe")" = "$(imports "$twin_exe")"

work=$(mktemp -d)
trap 'wineserver -k >/dev/null 2>&1; rm -rf "$work"' EXIT
# The first program of a wineserver starts the session's own programs, which would look for
# libraries in its folder: start them elsewhere first, and keep the server.
wineserver -p 60
(cd / && wine cmd /c exit)
cp "$setup_exe" "$work/setup.exe"
cp "$twin_exe" "$work/import_twin.exe"
QV_CANARY_TRACE=$(winepath -w "$work/trace.txt")
export QV_CANARY_TRACE
cd "$work"
# One canary at a time: a canary exports nothing, so a program that calls into it ends there.
declare -A help_exit
for canary in "$canaries"/*.dll; do
    name=$(basename "$canary" .dll)
    cp "$canary" "$work/"
    printf '\r\n' | WINEDLLOVERRIDES="$name=n,b;mscoree,mshtml=" wine setup.exe --help >/dev/null 2>&1
    help_exit[$name]=$?
    WINEDLLOVERRIDES="$name=n,b;mscoree,mshtml=" wine import_twin.exe >/dev/null 2>&1
    rm "$work/$name.dll"
done
# canaries_in PROGRAM: the canaries that were loaded into PROGRAM, by name.
canaries_in() { tr -d '\r' <"$work/trace.txt" 2>/dev/null | grep -i "\\\\$1|" | sed 's/.*\\//' | tr 'A-Z' 'a-z' | sort -u; }
from_setup=$(canaries_in setup.exe)
from_wine=$(canaries_in import_twin.exe)
echo "planted libraries that Wine's own libraries load into any such program: ${from_wine//$'\n'/ }"
check "setup.exe loads no planted library of its own accord (it loaded: ${from_setup//$'\n'/ })" \
    test -z "$(comm -23 <(echo "$from_setup") <(echo "$from_wine"))"
# Beside a canary it did not load, setup.exe runs its start-up to the end, as its help screen does.
for name in "${!help_exit[@]}"; do
    grep -qx "$name.dll" <<<"$from_setup" ||
        check "beside $name.dll setup.exe ran to its end (exit ${help_exit[$name]})" test "${help_exit[$name]}" -eq 1
done
[ "$failures" -eq 0 ]
