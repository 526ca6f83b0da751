#!/usr/bin/env bash
# setup.exe must load nothing from the folder it is started in: it imports only DLLs of the
# system folder (its own code is linked in statically).
# Usage: system_imports_test.sh OBJDUMP SETUP_EXE
set -uo pipefail
objdump=$1 setup_exe=$2
system_dlls="advapi32.dll comctl32.dll comdlg32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll
shell32.dll shlwapi.dll user32.dll version.dll"
imports=$("$objdump" -p "$setup_exe" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z')
[ -n "$imports" ] || { echo "FAILED: no import table read"; exit 1; }
failures=0
for dll in $imports; do
    if tr ' ' '\n' <<<"$system_dlls" | grep -qxF "$dll"; then
        echo "ok: $dll"
    else
        echo "FAILED: $dll is not a system DLL"; failures=$((failures + 1))
    fi
done
[ "$failures" -eq 0 ]
