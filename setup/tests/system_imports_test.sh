#!/usr/bin/env bash
# setup.exe must load nothing from the folder it is started in, not even before WinMain: the
# loader looks in the program's folder first for any import that is not one of the system's
# KnownDLLs. So every import is a KnownDLL on every system setup runs on, but for comctl32.dll
# (bound by the manifest to the side-by-side assembly) and msvcrt.dll (the C runtime's own).
# Everything else is loaded at run time by its full path in the system folder, and so are the
# shell and the object model: KnownDLLs, but large ones that the first page does not need.
# Usage: system_imports_test.sh OBJDUMP SETUP_EXE
set -uo pipefail
objdump=$1 setup_exe=$2
# HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\KnownDLLs, per Windows version.
known_2000_xp="advapi32 comdlg32 gdi32 imagehlp kernel32 lz32 ole32 oleaut32 olecli32 olecnv32 olesvr32
olethk32 rpcrt4 shell32 url urlmon user32 version wininet wldap32"
known_7="advapi32 clbcatq comdlg32 difxapi gdi32 imagehlp imm32 kernel32 lpk msctf msvcrt normaliz nsi ole32
oleaut32 psapi rpcrt4 sechost setupapi shell32 shlwapi urlmon user32 usp10 wininet wldap32 ws2_32"
known_10="advapi32 clbcatq combase comdlg32 coml2 difxapi gdi32 gdiplus imagehlp imm32 kernel32 msctf msvcrt
normaliz nsi ole32 oleaut32 psapi rpcrt4 sechost setupapi shcore shell32 shlwapi user32 wldap32 ws2_32"
beyond_known="comctl32 msvcrt"
on_first_use="shell32 ole32 shlwapi comdlg32 version shfolder"
in_list() { tr ' ' '\n' <<<"$2" | grep -qxF "$1"; }
imports=$("$objdump" -p "$setup_exe" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z')
[ -n "$imports" ] || { echo "FAILED: no import table read"; exit 1; }
failures=0
for dll in $imports; do
    name=${dll%.dll}
    if in_list "$name" "$on_first_use"; then
        echo "FAILED: $dll is imported; it is loaded on first use"; failures=$((failures + 1)); continue
    fi
    if in_list "$name" "$beyond_known"; then echo "ok: $dll (allowed beyond the KnownDLLs)"; continue; fi
    missing=""
    for version in 2000_xp 7 10; do
        list=known_$version
        in_list "$name" "${!list}" || missing="$missing ${version/_/\/}"
    done
    if [ -z "$missing" ]; then
        echo "ok: $dll"
    else
        echo "FAILED: $dll is not a KnownDLL of Windows$missing"; failures=$((failures + 1))
    fi
done
[ "$failures" -eq 0 ]
