#!/usr/bin/env bash
# Makes the Wine prefix that every Wine test copies (QV_WINE_TEMPLATE): one wineboot for the
# whole run, since a wineboot per test costs more than the test.
set -euo pipefail
template=${QV_WINE_TEMPLATE:?the template prefix to make}
export WINEPREFIX=$template
wineserver -k >/dev/null 2>&1 || true
rm -rf "$template"
wineboot -i >/dev/null 2>&1
# A crash ends the program at once instead of waiting on a dialog until the test times out.
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
# The registry reaches its files only when the server ends; copies are taken from the files.
wineserver -k >/dev/null 2>&1 || true
wineserver -w
test -f "$template/system.reg"
